"""Append-only event log that tests read while the simulator runs."""

import threading


def _one_line(text):
    # A command argument could smuggle a line break into the log and make a
    # test believe a second event happened; keep every event on one line.
    return text.replace("\r", "\\r").replace("\n", "\\n")


class EventLog:
    """Writes one line per event and flushes it at once.

    With no path every call is a no-op, so callers never need to check.
    The FTP loop and the HTTP worker threads share one instance.
    """

    def __init__(self, path=None):
        self._lock = threading.Lock()
        self._file = None
        if path:
            self._file = open(path, "a", encoding="utf-8", errors="replace", newline="\n")

    def event(self, *fields):
        if self._file is None:
            return
        line = _one_line(" ".join(str(f) for f in fields if f is not None and f != ""))
        with self._lock:
            if self._file is not None:
                self._file.write(line + "\n")
                self._file.flush()

    def close(self):
        with self._lock:
            if self._file is not None:
                self._file.close()
                self._file = None
