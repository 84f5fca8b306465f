"""Tests of the simulated instrument, run as a subprocess on loopback.

    /usr/bin/python3 -m unittest discover -s tools/zo-sim -p 'test_*.py'

Every FTP session uses active mode (PORT), like the real client.
"""

import configparser
import ftplib
import io
import os
import re
import selectors
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
# Loopback only: never hand a request to a proxy from the environment.
URL_OPENER = urllib.request.build_opener(urllib.request.ProxyHandler({}))
ZO_SIM = os.path.join(HERE, "zo-sim")
HOST = "127.0.0.1"
# Generous limits: they only matter when something hangs, and a machine busy
# compiling can make start-up or a reply take seconds.
TIMEOUT = 15

sys.path.insert(0, HERE)
from zosim import sample  # noqa: E402


class Sim:
    """One zo-sim process; start() waits for its READY line."""

    def __init__(self, root, *options):
        self.root = root
        self.options = list(options)
        self.proc = None
        self.ftp_port = self.http_port = None
        self.stdout_lines = []

    def start(self):
        self._err = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([ZO_SIM, "--root", self.root] + self.options,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self._err)
        line = self._readline(TIMEOUT)
        m = re.fullmatch(r"READY ftp=(\d+) http=(\d+)\n", line)
        if not m:
            self.stop()
            raise AssertionError("no READY line, got %r; stderr: %s" % (line, self.stderr()))
        self.ftp_port, self.http_port = int(m.group(1)), int(m.group(2))
        return self

    def _readline(self, timeout):
        """One stdout line, or '' at EOF or after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        buf = b""
        with selectors.DefaultSelector() as sel:
            sel.register(self.proc.stdout, selectors.EVENT_READ)
            while not buf.endswith(b"\n") and time.monotonic() < deadline:
                if not sel.select(deadline - time.monotonic()):
                    break
                chunk = os.read(self.proc.stdout.fileno(), 1)
                if not chunk:
                    break
                buf += chunk
        return buf.decode()

    def stderr(self):
        self._err.seek(0)
        return self._err.read().decode(errors="replace")

    def wait(self, timeout=TIMEOUT):
        return self.proc.wait(timeout)

    def stop(self):
        if self.proc is None:
            return
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(TIMEOUT)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(TIMEOUT)
        self.proc.stdin.close()
        self.proc.stdout.close()
        self.stderr_text = self.stderr()
        self._err.close()
        if "Traceback" in self.stderr_text:
            raise AssertionError("zo-sim failed internally:\n" + self.stderr_text)

    def ftp(self):
        f = ftplib.FTP()
        f.connect(HOST, self.ftp_port, timeout=TIMEOUT)
        f.login("zouser", "quillmont")
        f.set_pasv(False)
        return f

    def url(self, path):
        return "http://%s:%d%s" % (HOST, self.http_port, path)


def retr(ftp, name):
    buf = io.BytesIO()
    ftp.retrbinary("RETR " + name, buf.write)
    return buf.getvalue()


def listing(ftp, path=""):
    lines = []
    ftp.retrlines("LIST " + path if path else "LIST", lines.append)
    return lines


class SimTestCase(unittest.TestCase):
    """Starts one simulator per class over a fresh temporary root."""

    options = ()
    sample_root = False  # fill the root with the sample before starting

    @classmethod
    def setUpClass(cls):
        cls._tmp = tempfile.TemporaryDirectory(prefix="zo-sim-test-")
        cls.root = os.path.join(cls._tmp.name, "root")
        cls.web_root = os.path.join(cls._tmp.name, "web")
        cls.log_path = os.path.join(cls._tmp.name, "events.log")
        os.makedirs(cls.root)
        if cls.sample_root:
            sample.fill_instrument(cls.root)
        cls.prepare(cls.root)
        cls.sim = Sim(cls.root, "--web-root", cls.web_root, "--log", cls.log_path,
                      *cls.options).start()

    @classmethod
    def prepare(cls, root):
        pass

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        cls._tmp.cleanup()

    def log_lines(self):
        with open(self.log_path, encoding="utf-8") as f:
            return f.read().splitlines()


class SampleServerTest(SimTestCase):
    options = ("--sample",)

    def test_login_and_features(self):
        with self.sim.ftp() as f:
            self.assertTrue(f.getwelcome().startswith("220"))
            self.assertEqual(f.pwd(), "/")
            feat = f.sendcmd("FEAT")
            for word in ("MLST", "SIZE", "MDTM", "EPRT"):
                self.assertIn(" " + word, feat)
        with ftplib.FTP() as f:
            f.connect(HOST, self.sim.ftp_port, timeout=TIMEOUT)
            with self.assertRaisesRegex(ftplib.error_perm, "^530"):
                f.login("zouser", "wrong")

    def test_sample_layout(self):
        with self.sim.ftp() as f:
            top = dict(f.mlsd("/"))
            for name in ("screendumps", "reports", "patterns", "setup", "factoryapp"):
                self.assertEqual(top[name]["type"], "dir", name)
            self.assertEqual(top["system.cfg"]["type"], "file")

            dumps = sorted(f.nlst("screendumps"))
            self.assertEqual(len(dumps), 4)
            self.assertIn("DUMP_0004.BMP", dumps)

            reports = dict(f.mlsd("reports"))
            self.assertEqual(reports["index.txt"]["type"], "file")
            dated = [n for n, facts in reports.items() if facts["type"] == "dir"]
            self.assertTrue(dated)
            for name in dated:
                self.assertRegex(name, r"^\d{4}-\d\d-\d\d_\d{4}$")
                self.assertTrue(f.nlst("reports/" + name))

            patterns = dict(f.mlsd("patterns"))
            self.assertEqual(sorted(patterns), sorted(
                ["PALyuv", "NTSCyuv", "720yuv", "720rgb", "1035yuv", "1080yuv", "1080rgb"]))
            subfolders = 0
            for folder in patterns:
                entries = dict(f.mlsd("patterns/" + folder))
                files = [n for n, e in entries.items() if e["type"] == "file"]
                self.assertTrue(1 <= len(files) <= 3, folder)
                subfolders += sum(e["type"] == "dir" for e in entries.values())
            self.assertEqual(subfolders, 1)

            self.assertTrue({"tsg", "check.txt", "check.md5", "CvZo.Dlg", "xilinx"}
                            <= set(f.nlst("factoryapp")))
            self.assertEqual(sorted(f.nlst("factoryapp/xilinx")), sorted(sample.XILINX_FILES))
            self.assertIn(b"=", retr(f, "system.cfg"))

    def test_screendumps_are_valid_distinct_bmps(self):
        pictures = set()
        with self.sim.ftp() as f:
            for name in f.nlst("screendumps"):
                data = retr(f, "screendumps/" + name)
                magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data)
                (header, width, height, planes, bpp, compression,
                 image_size) = struct.unpack_from("<IiiHHII", data, 14)
                self.assertEqual((magic, size, offset, header), (b"BM", len(data), 54, 40))
                self.assertEqual((planes, bpp, compression), (1, 24, 0))
                row = (width * 3 + 3) & ~3
                self.assertEqual(image_size, row * abs(height))
                self.assertEqual(len(data), offset + image_size)
                pictures.add(data[offset:])
        self.assertEqual(len(pictures), 4)

    def test_file_commands_round_trip(self):
        payload = bytes(range(256)) * 40 + b"\r\n\n\r"
        with self.sim.ftp() as f:
            f.mkd("/setup/new")
            f.storbinary("STOR /setup/new/up.bin", io.BytesIO(payload))
            self.assertEqual(f.size("/setup/new/up.bin"), len(payload))
            self.assertRegex(f.sendcmd("MDTM /setup/new/up.bin"), r"^213 \d{14}$")
            f.cwd("/setup/new")
            f.rename("up.bin", "renamed.bin")
            self.assertEqual(retr(f, "renamed.bin"), payload)
            with open(os.path.join(self.root, "setup", "new", "renamed.bin"), "rb") as disk:
                self.assertEqual(disk.read(), payload)
            f.delete("renamed.bin")
            f.cwd("/")
            f.rmd("setup/new")
            self.assertFalse(os.path.exists(os.path.join(self.root, "setup", "new")))

    def _get(self, path, agent="zo-test/1"):
        req = urllib.request.Request(self.sim.url(path), headers={"User-Agent": agent})
        with URL_OPENER.open(req, timeout=TIMEOUT) as resp:
            return resp.read()

    def test_manifest_points_at_the_release_archive(self):
        ini = configparser.ConfigParser()
        ini.read_string(self._get("/Software/zo/setup3.ini").decode())
        url = ini["Setup"]["DownloadFile"]
        self.assertEqual(url, self.sim.url("/Software/zo/release_1.6.2.exe"))
        # The client's rule: drop the last extension, replace the next with .zip.
        stem = os.path.splitext(os.path.splitext(url)[0])[0]
        archive = self._get(urllib.parse.urlsplit(stem + ".zip").path)
        with zipfile.ZipFile(io.BytesIO(archive)) as zf:
            self.assertIsNone(zf.testzip())
            names = zf.namelist()
        self.assertTrue({"bin/zoapp", "fpga/top.bin", "readme.txt"} <= set(names))

    def test_http_reads_files_at_request_time_and_404s(self):
        path = os.path.join(self.web_root, "Software", "zo", "note.txt")
        for text in (b"first", b"second"):
            with open(path, "wb") as f:
                f.write(text)
            self.assertEqual(self._get("/Software/zo/note.txt"), text)
        for missing in ("/Software/zo/nothing.ini", "/Software/", "/../root/system.cfg"):
            with self.assertRaises(urllib.error.HTTPError) as ctx:
                self._get(missing)
            self.assertEqual(ctx.exception.code, 404, missing)

    def test_event_log(self):
        before = len(self.log_lines())
        with self.sim.ftp() as f:
            f.cwd("screendumps")
            retr(f, "dump_0001.bmp")
        self._get("/Software/zo/setup3.ini", agent="ZoClient/9.9")
        lines = self.log_lines()[before:]

        conn = re.fullmatch(r"FTP (\d+) CONNECT 127\.0\.0\.1", lines[0]).group(1)
        mine = [l[len("FTP %s " % conn):] for l in lines if l.startswith("FTP %s " % conn)]
        self.assertIn("USER zouser", mine)
        self.assertIn("PASS ****", mine)
        self.assertNotIn("quillmont", "\n".join(lines))
        self.assertIn("CWD screendumps", mine)
        self.assertIn("RETR dump_0001.bmp", mine)
        # The data connection goes to the address the PORT command named.
        port_cmd = next(l for l in mine if l.startswith("PORT "))
        h = [int(v) for v in port_cmd[5:].split(",")]
        self.assertEqual(mine[mine.index(port_cmd) + 1],
                         "DATA-CONNECT %d.%d.%d.%d:%d" % (h[0], h[1], h[2], h[3], h[4] * 256 + h[5]))
        self.assertIn("HTTP GET /Software/zo/setup3.ini UA=ZoClient/9.9", lines)


INJECTIONS = ("--inject-entry", "screendumps:../escape.bmp",
              "--inject-entry", "screendumps:a/b.bmp",
              "--inject-entry", "screendumps:evil:dir")


class ListingStyleTest(unittest.TestCase):
    """LIST lines in each style, including the injected entries."""

    # style -> (line for the folder "reports", line for "dump_0001.bmp",
    #           line for the injected file "../escape.bmp", injected folder "evil")
    EXPECTED = {
        "unix": (r"drwx[-rwx]{6} +\d+ \S+ +\S+ +\d+ Dec 11 09:05 reports",
                 r"-rw-r--r-- +1 \S+ +\S+ +172854 Dec 11 14:30 dump_0001\.bmp",
                 r"-rw-r--r-- +1 \S+ +\S+ +1234 Dec 11 12:00 \.\./escape\.bmp",
                 r"drwxr-xr-x +1 \S+ +\S+ +0 Dec 11 12:00 evil"),
        "dos2": (re.escape("12-11-26  09:05AM       <DIR>          reports"),
                 re.escape("12-11-26  02:30PM               172854 dump_0001.bmp"),
                 re.escape("12-11-26  12:00PM                 1234 ../escape.bmp"),
                 re.escape("12-11-26  12:00PM       <DIR>          evil")),
        "dos4": (re.escape("12-11-2026  09:05       <DIR>          reports"),
                 re.escape("12-11-2026  14:30               172854 dump_0001.bmp"),
                 re.escape("12-11-2026  12:00                 1234 ../escape.bmp"),
                 re.escape("12-11-2026  12:00       <DIR>          evil")),
    }

    @classmethod
    def setUpClass(cls):
        cls._tmp = tempfile.TemporaryDirectory(prefix="zo-sim-test-")
        cls.root = cls._tmp.name
        sample.fill_instrument(cls.root)

    @classmethod
    def tearDownClass(cls):
        cls._tmp.cleanup()

    def test_styles(self):
        for style, (reports, dump, injected_file, injected_dir) in self.EXPECTED.items():
            with self.subTest(style=style):
                sim = Sim(self.root, "--no-http", "--listing", style, *INJECTIONS).start()
                try:
                    with sim.ftp() as f:
                        top = listing(f)
                        dumps = listing(f, "screendumps")
                finally:
                    sim.stop()
                self.assertTrue(any(re.fullmatch(reports, l) for l in top), top)
                for pattern in (dump, injected_file, injected_dir):
                    self.assertTrue(any(re.fullmatch(pattern, l) for l in dumps), (pattern, dumps))
                self.assertTrue(any(l.endswith(" a/b.bmp") for l in dumps), dumps)
                self.assertEqual(len(dumps), 4 + 3)


class InjectedEntryTest(SimTestCase):
    sample_root = True
    options = ("--no-http",) + INJECTIONS

    def test_injected_entries_in_mlsd_and_nlst_only_in_their_folder(self):
        with self.sim.ftp() as f:
            facts = dict(f.mlsd("screendumps"))
            self.assertEqual((facts["../escape.bmp"]["type"], facts["../escape.bmp"]["size"]),
                             ("file", "1234"))
            self.assertEqual(facts["a/b.bmp"]["size"], "1234")
            self.assertEqual(facts["evil"]["type"], "dir")
            self.assertTrue({"../escape.bmp", "a/b.bmp", "evil"} <= set(f.nlst("screendumps")))
            self.assertFalse({"../escape.bmp", "a/b.bmp", "evil"} & set(f.nlst("/")))
            self.assertFalse({"../escape.bmp", "a/b.bmp", "evil"} & set(dict(f.mlsd("reports"))))

    def test_download_of_injected_name_is_refused(self):
        # Even where the name would resolve to a real file (the FTP root
        # holds escape.bmp), asking for it by the injected name fails.
        with open(os.path.join(self.root, "escape.bmp"), "wb") as real:
            real.write(b"real")
        with self.sim.ftp() as f:
            f.cwd("screendumps")
            for name in ("../escape.bmp", "a/b.bmp", "/screendumps/a/b.bmp"):
                with self.assertRaisesRegex(ftplib.error_perm, "^550", msg=name):
                    retr(f, name)
            self.assertEqual(retr(f, "/escape.bmp"), b"real")


class ListOrderTest(unittest.TestCase):
    def test_sorted_and_reverse(self):
        with tempfile.TemporaryDirectory(prefix="zo-sim-test-") as root:
            names = ["b.txt", "C.txt", "a.txt", "d", "_e"]
            for n in names:
                open(os.path.join(root, n), "w").close()
            for order in ("sorted", "reverse"):
                with self.subTest(order=order):
                    expected = sorted(names, reverse=(order == "reverse"))
                    sim = Sim(root, "--no-http", "--list-order", order).start()
                    try:
                        with sim.ftp() as f:
                            self.assertEqual(f.nlst(), expected)
                            self.assertEqual([l.split()[-1] for l in listing(f)], expected)
                            self.assertEqual([n for n, _ in f.mlsd()], expected)
                    finally:
                        sim.stop()


class NoMlsdTest(SimTestCase):
    sample_root = True
    options = ("--no-http", "--no-mlsd")

    def test_mlsd_and_mlst_are_unknown_commands(self):
        with self.sim.ftp() as f:
            self.assertNotIn("MLST", f.sendcmd("FEAT"))
            for cmd in ("MLST system.cfg", "MLSD"):
                with self.assertRaisesRegex(ftplib.error_perm, "^50[02]", msg=cmd):
                    if cmd == "MLSD":
                        list(f.mlsd())
                    else:
                        f.sendcmd(cmd)
            self.assertTrue(any(l.endswith(" screendumps") for l in listing(f)))


class LoginDirTest(SimTestCase):
    options = ("--no-http", "--login-dir", "/zo")

    @classmethod
    def prepare(cls, root):
        os.makedirs(os.path.join(root, "setup"))
        os.makedirs(os.path.join(root, "zo", "setup"))

    def test_relative_paths_start_in_the_login_folder(self):
        with self.sim.ftp() as f:
            self.assertEqual(f.pwd(), "/zo")
            f.storbinary("STOR setup/x", io.BytesIO(b"relative"))
            f.storbinary("STOR /setup/x", io.BytesIO(b"rooted"))
        with open(os.path.join(self.root, "zo", "setup", "x"), "rb") as fh:
            self.assertEqual(fh.read(), b"relative")
        with open(os.path.join(self.root, "setup", "x"), "rb") as fh:
            self.assertEqual(fh.read(), b"rooted")


class UploadAndDropFaultTest(SimTestCase):
    options = ("--no-http", "--drop-after", "1000", "--fail-stor", "*.BIN",
               "--truncate-stor", "half_*")

    @classmethod
    def prepare(cls, root):
        with open(os.path.join(root, "big.dat"), "wb") as f:
            f.write(os.urandom(300_000))
        with open(os.path.join(root, "small.dat"), "wb") as f:
            f.write(b"s" * 1000)

    def test_download_is_dropped_after_the_limit_every_time(self):
        for attempt in range(2):
            with self.subTest(attempt=attempt):
                f = self.sim.ftp()
                got = io.BytesIO()
                with self.assertRaises((EOFError, OSError, ftplib.Error)):
                    f.retrbinary("RETR big.dat", got.write)
                self.assertEqual(len(got.getvalue()), 1000)
                # The control connection is gone as well.
                with self.assertRaises((EOFError, OSError)):
                    f.voidcmd("NOOP")
                f.close()

    def test_files_up_to_the_limit_download_whole(self):
        with self.sim.ftp() as f:
            self.assertEqual(retr(f, "small.dat"), b"s" * 1000)

    def test_refused_upload(self):
        with self.sim.ftp() as f:
            with self.assertRaisesRegex(ftplib.error_perm, "^550"):
                f.storbinary("STOR firmware.bin", io.BytesIO(b"x" * 100))
            f.storbinary("STOR firmware.txt", io.BytesIO(b"x" * 100))
        self.assertFalse(os.path.exists(os.path.join(self.root, "firmware.bin")))
        self.assertEqual(os.path.getsize(os.path.join(self.root, "firmware.txt")), 100)

    def test_truncated_upload_still_reports_success(self):
        payload = os.urandom(1001)
        with self.sim.ftp() as f:
            self.assertTrue(f.storbinary("STOR half_up.dat", io.BytesIO(payload)).startswith("226"))
            self.assertEqual(f.size("half_up.dat"), 500)
        with open(os.path.join(self.root, "half_up.dat"), "rb") as fh:
            self.assertEqual(fh.read(), payload[:500])


class StallFaultTest(SimTestCase):
    options = ("--no-http", "--stall-after", "1000")

    @classmethod
    def prepare(cls, root):
        with open(os.path.join(root, "big.dat"), "wb") as f:
            f.write(os.urandom(300_000))

    def test_download_stalls_with_connections_open(self):
        with self.sim.ftp() as f:
            f.voidcmd("TYPE I")
            with f.transfercmd("RETR big.dat") as data:
                got = 0
                for _ in range(1000):
                    if got >= 1000:
                        break
                    chunk = data.recv(65536)
                    if not chunk:
                        self.fail("data connection closed after %d bytes" % got)
                    got += len(chunk)
                self.assertEqual(got, 1000)
                # Nothing more comes, and the connection is not closed either.
                data.settimeout(0.5)
                with self.assertRaises(socket.timeout):
                    data.recv(65536)
                self.assertTrue(f.voidcmd("NOOP").startswith("200"))
                f.putcmd("ABOR")
                self.assertTrue(f.getline().startswith("426"))
                self.assertTrue(f.getline().startswith("226"))


class TimingTest(unittest.TestCase):
    """--list-delay and --rate slow things down without blocking the server."""

    def test_list_delay_and_rate(self):
        with tempfile.TemporaryDirectory(prefix="zo-sim-test-") as root:
            with open(os.path.join(root, "f.dat"), "wb") as fh:
                fh.write(os.urandom(250_000))
            sim = Sim(root, "--no-http", "--list-delay", "1", "--rate", "100000").start()
            try:
                with sim.ftp() as f, sim.ftp() as other:
                    started = time.monotonic()
                    with f.transfercmd("NLST") as data:
                        # Another session is served while the listing waits:
                        # its reply comes before any listing data.
                        self.assertEqual(other.pwd(), "/")
                        with selectors.DefaultSelector() as sel:
                            sel.register(data, selectors.EVENT_READ)
                            self.assertEqual(sel.select(0), [])
                        self.assertEqual(data.makefile("rb").read(), b"f.dat\r\n")
                    f.voidresp()
                    self.assertGreaterEqual(time.monotonic() - started, 0.95)

                    started = time.monotonic()
                    self.assertEqual(len(retr(f, "f.dat")), 250_000)
                    self.assertGreaterEqual(time.monotonic() - started, 1.0)
            finally:
                sim.stop()


class LifecycleTest(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="zo-sim-test-")
        self.addCleanup(self._tmp.cleanup)
        self.root = os.path.join(self._tmp.name, "root")

    def test_stops_cleanly_on_signals(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig.name):
                sim = Sim(self.root).start()
                try:
                    with sim.ftp():  # a connected session must not keep it alive
                        sim.proc.send_signal(sig)
                        self.assertEqual(sim.wait(), 0)
                    self.assertEqual(sim.proc.stdout.read(), b"")
                    self.assertNotIn("Traceback", sim.stderr())
                finally:
                    sim.stop()

    def test_exits_when_stdin_closes(self):
        sim = Sim(self.root, "--exit-on-stdin-eof").start()
        try:
            sim.proc.stdin.close()
            self.assertEqual(sim.wait(), 0)
        finally:
            sim.stop()

    def test_refuses_non_loopback_addresses(self):
        for host in ("0.0.0.0", "192.0.2.1", "::1", "localhost"):
            with self.subTest(host=host):
                proc = subprocess.run([ZO_SIM, "--root", self.root, "--host", host],
                                      capture_output=True, timeout=TIMEOUT, text=True)
                self.assertEqual(proc.returncode, 2)
                self.assertEqual(proc.stdout, "")
                self.assertIn("loopback", proc.stderr)


if __name__ == "__main__":
    unittest.main()
