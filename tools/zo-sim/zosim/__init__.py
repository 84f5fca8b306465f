"""Simulated Zo test instrument: FTP service plus the maker's web server."""
