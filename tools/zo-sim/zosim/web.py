"""The maker's web server: static files for GET and HEAD, read at request time."""

import email.utils
import mimetypes
import os
import posixpath
import shutil
import socketserver
import sys
import threading
import urllib.parse
from .ftp import StartupError
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK = 256 * 1024


class _FileHandler(BaseHTTPRequestHandler):
    server_version = "ZoWeb/1.0"
    sys_version = ""

    def do_GET(self):
        self._serve(with_body=True)

    def do_HEAD(self):
        self._serve(with_body=False)

    def _local_path(self):
        """File under the web root named by the request, or None."""
        url_path = urllib.parse.urlsplit(self.path).path
        rel = posixpath.normpath(urllib.parse.unquote(url_path)).lstrip("/")
        if rel in ("", "."):
            return None
        root = self.server.web_root
        full = os.path.realpath(os.path.join(root, *rel.split("/")))
        if os.path.commonpath([root, full]) != root:
            return None
        return full

    def _serve(self, with_body):
        self.server.event_log.event("HTTP", self.command, self.path,
                                    "UA=" + (self.headers.get("User-Agent") or ""))
        path = self._local_path()
        try:
            f = open(path, "rb") if path and os.path.isfile(path) else None
        except OSError:
            f = None
        if f is None:
            self.send_error(404, "Not Found")
            return
        with f:
            st = os.fstat(f.fileno())
            ctype = mimetypes.guess_type(path)[0] or "application/octet-stream"
            self.send_response(200)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(st.st_size))
            self.send_header("Last-Modified", email.utils.formatdate(st.st_mtime, usegmt=True))
            self.end_headers()
            if with_body:
                try:
                    shutil.copyfileobj(f, self.wfile, CHUNK)
                except (BrokenPipeError, ConnectionResetError):
                    pass

    def log_message(self, format, *args):
        if self.server.verbose:
            sys.stderr.write("zo-sim http: %s %s\n" % (self.address_string(), format % args))


class WebServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, host, port, web_root, event_log, verbose=False):
        self.web_root = os.path.realpath(web_root)
        self.event_log = event_log
        self.verbose = verbose
        self._thread = None
        try:
            super().__init__((host, port), _FileHandler)
        except OSError as err:
            raise StartupError("cannot listen for HTTP on %s:%d: %s"
                               % (host, port, err.strerror or err)) from err

    def server_bind(self):
        # HTTPServer.server_bind() looks the address up with getfqdn(), which
        # may ask a name server; a loopback test server has no business with
        # the network, so skip it.
        socketserver.TCPServer.server_bind(self)
        host, port = self.server_address[:2]
        self.server_name = host
        self.server_port = port

    @property
    def port(self):
        return self.server_address[1]

    def start(self):
        self._thread = threading.Thread(target=self.serve_forever, kwargs={"poll_interval": 0.2},
                                        name="zo-sim-http", daemon=True)
        self._thread.start()

    def stop(self):
        if self._thread is not None:
            self.shutdown()
            self._thread.join(timeout=5)
            self._thread = None
        self.server_close()
