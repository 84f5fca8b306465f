"""Command line, start-up and shutdown of the simulator."""

import argparse
import ipaddress
import logging
import os
import posixpath
import signal
import sys
import threading

from . import sample
from .eventlog import EventLog
from .ftp import SimSettings, StartupError, make_server
from .web import WebServer

EXIT_USAGE = 2
EXIT_FAILURE = 1


class _StopRequested(SystemExit):
    """Raised in the main thread by SIGTERM/SIGINT (or stdin EOF).

    A SystemExit subclass because pyftpdlib's event loop hands any ordinary
    exception to the connection's error handler instead of letting it out.
    """


def _loopback_host(text):
    try:
        addr = ipaddress.ip_address(text)
    except ValueError:
        raise argparse.ArgumentTypeError(
            "%r is not an IPv4 address; give a loopback address such as 127.0.0.1" % text)
    if addr.version != 4 or not addr.is_loopback:
        raise argparse.ArgumentTypeError(
            "refusing to listen on %s: only loopback addresses (127.0.0.0/8) are allowed"
            % text)
    return str(addr)


def _port(text):
    value = int(text)
    if not 0 <= value <= 65535:
        raise argparse.ArgumentTypeError("port must be 0..65535")
    return value


def _non_negative_int(text):
    value = int(text)
    if value < 0:
        raise argparse.ArgumentTypeError("must be 0 or more")
    return value


def _positive_int(text):
    value = int(text)
    if value <= 0:
        raise argparse.ArgumentTypeError("must be more than 0")
    return value


def _non_negative_float(text):
    value = float(text)
    if not value >= 0:
        raise argparse.ArgumentTypeError("must be 0 or more")
    return value


def _injection(text):
    """FOLDER:NAME[:dir] -> (folder, name, is_dir)."""
    is_dir = text.endswith(":dir")
    body = text[:-len(":dir")] if is_dir else text
    folder, sep, name = body.partition(":")
    if not sep or not name:
        raise argparse.ArgumentTypeError("expected FOLDER:NAME[:dir], got %r" % text)
    return folder, name, is_dir


def _login_dir(text):
    path = posixpath.normpath("/" + text.strip("/"))
    return path


def build_parser():
    p = argparse.ArgumentParser(
        prog="zo-sim",
        description="Simulated Zo test instrument: FTP service and the maker's web "
                    "server, on loopback only.")
    p.add_argument("--root", required=True, metavar="DIR",
                   help="folder served as the FTP root (created if missing)")
    p.add_argument("--web-root", metavar="DIR",
                   help="folder served over HTTP (created if missing; default: ROOT-web)")
    p.add_argument("--host", type=_loopback_host, default="127.0.0.1",
                   help="loopback address to listen on (default 127.0.0.1)")
    p.add_argument("--ftp-port", type=_port, default=0, help="FTP port, 0 = any free port")
    p.add_argument("--http-port", type=_port, default=0, help="HTTP port, 0 = any free port")
    p.add_argument("--sample", action="store_true",
                   help="add the missing parts of the generated sample content")
    p.add_argument("--listing", choices=("unix", "dos2", "dos4"), default="unix",
                   help="style of LIST replies (default unix)")
    p.add_argument("--no-mlsd", action="store_true",
                   help="do not offer MLSD/MLST (answer 500, leave them out of FEAT)")
    p.add_argument("--list-order", choices=("natural", "sorted", "reverse"), default="natural",
                   help="entry order in LIST/MLSD/NLST replies (default natural)")
    p.add_argument("--login-dir", type=_login_dir, default="/", metavar="PATH",
                   help="folder a session starts in, relative to the FTP root (default /)")
    p.add_argument("--rate", type=_positive_int, metavar="BYTES_PER_SEC",
                   help="throttle every data transfer to about this speed")
    p.add_argument("--list-delay", type=_non_negative_float, default=0.0, metavar="SECONDS",
                   help="wait this long before sending listing data")
    faults = p.add_mutually_exclusive_group()
    faults.add_argument("--drop-after", type=_non_negative_int, metavar="BYTES",
                        help="downloads: close data and control connection after BYTES")
    faults.add_argument("--stall-after", type=_non_negative_int, metavar="BYTES",
                        help="downloads: stop sending after BYTES, keep connections open")
    p.add_argument("--fail-stor", action="append", default=[], metavar="GLOB",
                   help="refuse uploads of matching names with 550 (repeatable)")
    p.add_argument("--truncate-stor", action="append", default=[], metavar="GLOB",
                   help="keep only the first half of matching uploads, still answer 226 "
                        "(repeatable)")
    p.add_argument("--inject-entry", action="append", default=[], type=_injection,
                   metavar="FOLDER:NAME[:dir]",
                   help="list a non-existent entry NAME in FOLDER (repeatable)")
    p.add_argument("--data-from", type=_loopback_host, metavar="ADDR",
                   help="open active data connections from this loopback address")
    p.add_argument("--log", metavar="FILE", help="append one line per event to FILE")
    p.add_argument("--exit-on-stdin-eof", action="store_true",
                   help="exit when standard input is closed")
    p.add_argument("--no-http", action="store_true", help="do not start the HTTP server")
    p.add_argument("--verbose", action="store_true",
                   help="log FTP and HTTP activity to stderr")
    return p


def _setup_logging(verbose):
    handler = logging.StreamHandler(sys.stderr)
    handler.setFormatter(logging.Formatter("zo-sim ftp: %(message)s"))
    logger = logging.getLogger("pyftpdlib")
    logger.handlers[:] = [handler]
    logger.propagate = False
    logger.setLevel(logging.INFO if verbose else logging.WARNING)


def _watch_stdin():
    """Turn EOF on stdin into the same clean stop as SIGTERM."""
    def run():
        try:
            while os.read(0, 65536):
                pass
        except OSError:
            pass
        os.kill(os.getpid(), signal.SIGTERM)
    threading.Thread(target=run, name="zo-sim-stdin", daemon=True).start()


def main(argv=None):
    args = build_parser().parse_args(argv)

    root = os.path.realpath(args.root)
    web_root = os.path.realpath(args.web_root or (root.rstrip("/") + "-web"))
    stop_requested = []

    def on_signal(signum, frame):
        if stop_requested:
            return
        stop_requested.append(signum)
        raise _StopRequested(0)

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    _setup_logging(args.verbose)
    log = EventLog(args.log)
    ftp_server = web_server = None
    try:
        os.makedirs(root, exist_ok=True)
        os.makedirs(os.path.join(root, args.login_dir.lstrip("/")), exist_ok=True)
        settings = SimSettings(
            log, login_dir=args.login_dir, listing=args.listing, list_order=args.list_order,
            list_delay=args.list_delay, drop_after=args.drop_after,
            stall_after=args.stall_after, fail_stor=args.fail_stor,
            truncate_stor=args.truncate_stor, injections=args.inject_entry)
        ftp_server = make_server(args.host, args.ftp_port, root, settings,
                                 rate=args.rate, mlsd=not args.no_mlsd,
                                 data_from=args.data_from)
        http_port = 0
        if not args.no_http:
            os.makedirs(web_root, exist_ok=True)
            web_server = WebServer(args.host, args.http_port, web_root, log, args.verbose)
            http_port = web_server.port
        if args.sample:
            sample.fill_instrument(root)
            if web_server is not None:
                sample.fill_web(web_root, args.host, http_port)
        if web_server is not None:
            web_server.start()

        try:
            sys.stdout.write("READY ftp=%d http=%d\n" % (ftp_server.address[1], http_port))
            sys.stdout.flush()
        except OSError:
            pass
        if args.exit_on_stdin_eof:
            _watch_stdin()
        ftp_server.serve_forever(handle_exit=False)
    except _StopRequested:
        pass
    except (StartupError, OSError) as err:
        sys.stderr.write("zo-sim: %s\n" % err)
        return EXIT_FAILURE
    finally:
        # A second signal during the clean-up is ignored by on_signal.
        stop_requested.append(None)
        if ftp_server is not None:
            ftp_server.close_all()
        if web_server is not None:
            web_server.stop()
        log.close()
    return 0
