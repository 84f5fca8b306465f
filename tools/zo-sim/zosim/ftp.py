"""The instrument's FTP service, built on pyftpdlib.

Plain transfers go through pyftpdlib's own data channel (sendfile() for
downloads), so the simulator is not the bottleneck in benchmarks. The fault
options only change the data path of the transfers they apply to.
"""

import calendar
import contextlib
import fnmatch
import itertools
import os
import posixpath
import stat
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS, FilesystemError
from pyftpdlib.handlers import ActiveDTP, DTPHandler, FTPHandler, ThrottledDTPHandler, proto_cmds
from pyftpdlib.servers import FTPServer

USER = "zouser"
PASSWORD = "quillmont"
PERMISSIONS = "elradfmwMT"

INJECTED_FILE_SIZE = 1234
INJECTED_MTIME = calendar.timegm((2026, 12, 11, 12, 0, 0))

# Bigger chunks than pyftpdlib's 64 KiB mean fewer trips through the event
# loop per megabyte: one sendfile() call per chunk for downloads (measured
# about 1.3 GB/s against 0.7-1.0 GB/s on loopback), one recv() per chunk for
# uploads, where a larger buffer than 256 KiB costs more in allocation than
# it saves.
SEND_CHUNK = 1 << 20
RECV_CHUNK = 1 << 18


class StartupError(Exception):
    """The simulator cannot start (message is meant for the user)."""


def _why(err):
    if isinstance(err, FilesystemError):
        return str(err)
    if getattr(err, "strerror", None):
        return err.strerror
    return str(err) or "Unknown error"


def _normalise_folder(folder):
    """FTP path of an injection folder given relative to the FTP root."""
    return posixpath.normpath("/" + folder.strip("/"))


class SimSettings:
    """Behaviour switches shared by every session of one server."""

    def __init__(self, log, login_dir="/", listing="unix", list_order="natural",
                 list_delay=0.0, drop_after=None, stall_after=None,
                 fail_stor=(), truncate_stor=(), injections=()):
        self.log = log
        self.login_dir = login_dir
        self.listing = listing
        self.list_order = list_order
        self.list_delay = list_delay
        self.drop_after = drop_after
        self.stall_after = stall_after
        self.fail_stor = [g.lower() for g in fail_stor]
        self.truncate_stor = [g.lower() for g in truncate_stor]
        # FTP folder path -> list of (name, is_dir); plus the raw paths that
        # name the entries, for refusing downloads of them.
        self.injections = {}
        self.injected_paths = set()
        for folder, name, is_dir in injections:
            key = _normalise_folder(folder)
            self.injections.setdefault(key, []).append((name, is_dir))
            self.injected_paths.add(key.rstrip("/") + "/" + name)

    def refuses_upload(self, name):
        return any(fnmatch.fnmatchcase(name.lower(), g) for g in self.fail_stor)

    def truncates_upload(self, name):
        return any(fnmatch.fnmatchcase(name.lower(), g) for g in self.truncate_stor)

    def download_fault(self, file_obj):
        """('drop' | 'stall', byte limit) for a download of file_obj, or None."""
        if self.drop_after is not None:
            kind, limit = "drop", self.drop_after
        elif self.stall_after is not None:
            kind, limit = "stall", self.stall_after
        else:
            return None
        try:
            size = os.fstat(file_obj.fileno()).st_size
        except (AttributeError, OSError, ValueError):
            return None
        return (kind, limit) if size > limit else None

    def order(self, names):
        if self.list_order == "sorted":
            return sorted(names)
        if self.list_order == "reverse":
            return sorted(names, reverse=True)
        return list(names)

    def fake_stat(self, is_dir, serial):
        """Stat result of an injected entry; `serial` keeps MLSD's unique fact distinct."""
        if is_dir:
            mode, size = stat.S_IFDIR | 0o755, 0
        else:
            mode, size = stat.S_IFREG | 0o644, INJECTED_FILE_SIZE
        t = INJECTED_MTIME
        return os.stat_result((mode, serial, 0, 1, os.getuid(), os.getgid(), size, t, t, t))


class _HalfKeepingFile:
    """Upload target that keeps only the first half of what it was sent.

    The truncation happens in close(), which pyftpdlib calls before it sends
    the "226 Transfer complete" reply, so a client never sees the full file.
    """

    def __init__(self, f):
        self._f = f
        self._start = None
        self._written = 0

    def write(self, data):
        if self._start is None:
            self._start = self._f.tell()
        self._written += len(data)
        return self._f.write(data)

    def close(self):
        if self._f.closed:
            return
        try:
            if self._start is not None:
                self._f.flush()
                self._f.truncate(self._start + self._written // 2)
        finally:
            self._f.close()

    def __getattr__(self, name):
        return getattr(self._f, name)


class ZoFilesystem(AbstractedFS):
    """Root-jailed filesystem with the instrument's listing styles."""

    def __init__(self, root, cmd_channel):
        super().__init__(root, cmd_channel)
        self.cwd = cmd_channel.sim.login_dir
        self._fake_stats = {}

    # Entries injected into a listing exist only while that listing is being
    # rendered: their joined paths answer stat() from this table.
    @contextlib.contextmanager
    def injected(self, basedir, entries):
        sim = self.cmd_channel.sim
        self._fake_stats = {os.path.join(basedir, name): sim.fake_stat(is_dir, serial)
                            for serial, (name, is_dir) in enumerate(entries, 1)}
        try:
            yield
        finally:
            self._fake_stats = {}

    def lstat(self, path):
        st = self._fake_stats.get(path)
        return st if st is not None else super().lstat(path)

    def stat(self, path):
        st = self._fake_stats.get(path)
        return st if st is not None else super().stat(path)

    def open(self, filename, mode):
        f = super().open(filename, mode)
        writing = any(c in mode for c in "wa+")
        if writing and self.cmd_channel.sim.truncates_upload(os.path.basename(filename)):
            return _HalfKeepingFile(f)
        return f

    def format_list(self, basedir, listing, ignore_err=True):
        style = self.cmd_channel.sim.listing
        if style == "unix":
            return super().format_list(basedir, listing, ignore_err)
        return self._format_dos(basedir, listing, ignore_err, four_digit_year=(style == "dos4"))

    def _format_dos(self, basedir, listing, ignore_err, four_digit_year):
        """MS-DOS style lines; names start in column 39 for files and folders.

        dos2: "12-11-26  02:30PM               172854 dump_0001.bmp"
        dos4: "12-11-2026  14:30       <DIR>          reports"
        """
        timefunc = time.gmtime if self.cmd_channel.use_gmt_times else time.localtime
        for name in listing:
            try:
                st = self.stat(os.path.join(basedir, name))
            except (OSError, FilesystemError):
                if ignore_err:
                    continue
                raise
            t = timefunc(st.st_mtime)
            if four_digit_year:
                stamp = "%02d-%02d-%04d  %02d:%02d" % (t.tm_mon, t.tm_mday, t.tm_year,
                                                      t.tm_hour, t.tm_min)
            else:
                hour = t.tm_hour % 12 or 12
                stamp = "%02d-%02d-%02d  %02d:%02d%s" % (t.tm_mon, t.tm_mday, t.tm_year % 100,
                                                        hour, t.tm_min,
                                                        "AM" if t.tm_hour < 12 else "PM")
            if stat.S_ISDIR(st.st_mode):
                line = "%s       <DIR>          %s\r\n" % (stamp, name)
            else:
                line = "%s %20d %s\r\n" % (stamp, st.st_size, name)
            yield line.encode("utf8", self.cmd_channel.unicode_errors)


class _DataChannelMixin:
    """Data connection that logs itself and applies the download faults."""

    def __init__(self, sock, cmd_channel):
        self._fault = None
        self._stalled = False
        super().__init__(sock, cmd_channel)
        if self.connected:
            try:
                ip, port = self.socket.getpeername()[:2]
            except OSError:
                return
            cmd_channel.sim.log.event("FTP", cmd_channel.conn_id, "DATA-CONNECT",
                                      "%s:%s" % (ip, port))

    def push_with_producer(self, producer):
        # Only downloads carry a file object here (listings do not).
        if self.file_obj is not None and not self.receive:
            self._fault = self.cmd_channel.sim.download_fault(self.file_obj)
        super().push_with_producer(producer)

    def use_sendfile(self):
        # A faulty download must pass through send() to be cut at its limit.
        return self._fault is None and super().use_sendfile()

    def writable(self):
        return not self._stalled and super().writable()

    def send(self, data):
        if self._fault is None:
            return super().send(data)
        kind, limit = self._fault
        room = limit - self.tot_bytes_sent
        if room <= 0:
            if kind == "drop":
                # Everything up to the limit has been handed to the kernel;
                # now vanish without a reply, as a crashing instrument would.
                self.cmd_channel.sim.log.event("FTP", self.cmd_channel.conn_id, "DROP",
                                               self.tot_bytes_sent)
                self.close()
                self.cmd_channel.close()
            elif not self._stalled:
                self.cmd_channel.sim.log.event("FTP", self.cmd_channel.conn_id, "STALL",
                                               self.tot_bytes_sent)
                self._stalled = True
                # Leave the event loop: the socket stays open and silent
                # until the client gives up (ABOR or closing) or we stop.
                self.del_channel()
            return 0
        return super().send(data[:room])


class ZoFTPHandler(FTPHandler):
    """Command channel of one client session."""

    sim = None  # SimSettings, set on the per-server subclass
    banner = "Zo test instrument FTP service ready."
    auth_failed_timeout = 0.2
    _ids = itertools.count(1)

    def __init__(self, conn, server, ioloop=None):
        self.conn_id = next(ZoFTPHandler._ids)
        self._pending_listing = None
        super().__init__(conn, server, ioloop=ioloop)

    def handle(self):
        self.sim.log.event("FTP", self.conn_id, "CONNECT", self.remote_ip)
        super().handle()

    def pre_process_command(self, line, cmd, arg):
        if cmd:
            self.sim.log.event("FTP", self.conn_id, cmd, "****" if cmd == "PASS" else arg)
        if cmd == "RETR" and self.authenticated and arg and self._names_injected_entry(arg):
            self.respond("550 No such file or directory.")
            return
        super().pre_process_command(line, cmd, arg)

    def _names_injected_entry(self, arg):
        raw = arg if arg.startswith("/") else self.fs.cwd.rstrip("/") + "/" + arg
        return raw in self.sim.injected_paths

    # --- listings --------------------------------------------------------

    def _render(self, path, render):
        """Names of folder `path` (with injected entries) in the configured order,
        rendered by render(names) into bytes."""
        names = self.fs.listdir(path)
        extra = [e for e in self.sim.injections.get(self.fs.fs2ftp(path), ())
                 if e[0] not in names]
        names = self.sim.order(names + [name for name, _ in extra])
        with self.fs.injected(path, extra):
            return render(names)

    def ftp_LIST(self, path):
        try:
            if self.fs.isdir(path):
                data = self._render(path, lambda names: b"".join(self.fs.format_list(path, names)))
            else:
                basedir, filename = os.path.split(path)
                self.fs.lstat(path)
                data = b"".join(self.fs.format_list(basedir, [filename]))
        except (OSError, FilesystemError) as err:
            self.respond("550 %s." % _why(err))
            return None
        self._send_listing(data, "LIST")
        return path

    def ftp_NLST(self, path):
        def join(names):
            text = "".join(n + "\r\n" for n in names)
            return text.encode("utf8", self.unicode_errors)
        try:
            if self.fs.isdir(path):
                data = self._render(path, join)
            else:
                self.fs.lstat(path)
                data = join([os.path.basename(path)])
        except (OSError, FilesystemError) as err:
            self.respond("550 %s." % _why(err))
            return None
        self._send_listing(data, "NLST")
        return path

    def ftp_MLSD(self, path):
        if not self.fs.isdir(path):
            self.respond("501 No such directory.")
            return None
        perms = self.authorizer.get_perms(self.username)
        try:
            data = self._render(path, lambda names: b"".join(
                self.fs.format_mlsx(path, names, perms, self._current_facts)))
        except (OSError, FilesystemError) as err:
            self.respond("550 %s." % _why(err))
            return None
        self._send_listing(data, "MLSD")
        return path

    def _send_listing(self, data, cmd):
        delay = self.sim.list_delay
        if not delay:
            self.push_dtp_data(data, cmd=cmd)
            return
        # Announce the transfer now, deliver the data later: a slow
        # instrument that takes its time to walk a folder.
        channel = self.data_channel
        if channel is not None:
            self.respond("125 Data connection already open. Transfer starting.")
        else:
            self.respond("150 File status okay. About to open data connection.")
        self._pending_listing = self.call_later(delay, self._deliver_listing, data, cmd, channel)

    def _deliver_listing(self, data, cmd, announced_channel):
        self._pending_listing = None
        if self._closed:
            return
        channel = self.data_channel
        if announced_channel is not None and channel is not announced_channel:
            # The data connection went away while we were "thinking".
            self.respond("426 Data connection closed; transfer aborted.")
            return
        if channel is not None:
            channel.cmd = cmd
            channel.push(data)
            channel.close_when_done()
        elif self._dtp_acceptor is not None or self._dtp_connector is not None:
            self._out_dtp_queue = (data, False, None, cmd)
        else:
            self.respond("425 Can't open data connection.")

    def ftp_ABOR(self, line):
        if self._pending_listing is None:
            return super().ftp_ABOR(line)
        self._pending_listing.cancel()
        self._pending_listing = None
        self._shutdown_connecting_dtp()
        if self.data_channel is not None:
            self.data_channel.close()
            self.data_channel = None
        self.respond("426 Transfer aborted via ABOR.")
        self.respond("226 ABOR command successful.")
        return None

    # --- uploads ---------------------------------------------------------

    def ftp_STOR(self, file, mode="w"):
        if self.sim.refuses_upload(os.path.basename(file)):
            self.respond("550 Cannot store %s: refused by the instrument."
                         % os.path.basename(file))
            return None
        return super().ftp_STOR(file, mode)


def _dtp_class(rate):
    if rate:
        base = ThrottledDTPHandler
        attrs = {"read_limit": rate, "write_limit": rate}
    else:
        base = DTPHandler
        attrs = {"ac_out_buffer_size": SEND_CHUNK, "ac_in_buffer_size": RECV_CHUNK}
    return type("ZoDTPHandler", (_DataChannelMixin, base), attrs)


def _active_dtp_class(source_ip):
    """Active data connections opened from source_ip instead of the server's own address, as
    a third party that races the instrument to the client's data port would."""
    if not source_ip:
        return ActiveDTP

    class ForeignSourceActiveDTP(ActiveDTP):
        def connect_af_unspecified(self, addr, source_address=None):
            return super().connect_af_unspecified(addr, (source_ip, 0))

    return ForeignSourceActiveDTP


def make_server(host, port, root, settings, rate=None, mlsd=True, data_from=None):
    """A listening (not yet serving) FTP server for the instrument."""
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm=PERMISSIONS)
    commands = dict(proto_cmds)
    if not mlsd:
        # An instrument that only knows LIST: the commands are unknown (500)
        # and FEAT stops advertising MLST.
        del commands["MLSD"]
        del commands["MLST"]
    handler = type("ZoSessionHandler", (ZoFTPHandler,), {
        "sim": settings,
        "authorizer": authorizer,
        "abstracted_fs": ZoFilesystem,
        "dtp_handler": _dtp_class(rate),
        "active_dtp": _active_dtp_class(data_from),
        "proto_cmds": commands,
    })
    try:
        return FTPServer((host, port), handler)
    except OSError as err:
        raise StartupError("cannot listen for FTP on %s:%d: %s" % (host, port, _why(err))) from err
