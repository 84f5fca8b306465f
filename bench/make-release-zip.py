#!/usr/bin/python3
"""Writes a release-like zip archive for the extraction benchmark: COUNT files of SIZE bytes in
a few folders, deflated, whose content compresses like programs and firmware images do (a mix
of random blocks, repeated blocks and runs of zeros; about 2:1 overall). Deterministic."""

import random
import sys
import zipfile


def file_content(rng, size, block=4096):
    parts = []
    written = 0
    while written < size:
        kind = rng.random()
        if kind < 0.45:
            data = rng.randbytes(block)  # code and compressed resources: no redundancy
        elif kind < 0.85:
            word = rng.randbytes(rng.randint(4, 64))  # tables and padding patterns
            data = (word * (block // len(word) + 1))[:block]
        else:
            data = bytes(block)  # zero-filled sections
        parts.append(data)
        written += len(data)
    return b"".join(parts)[:size]


def main():
    if len(sys.argv) != 4:
        print("usage: make-release-zip.py ARCHIVE COUNT TOTAL_BYTES", file=sys.stderr)
        return 2
    archive, count, total = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(20261211)
    size = total // count
    folders = ["bin", "fpga", "lib", "patterns", "doc"]
    with zipfile.ZipFile(archive, "w", compression=zipfile.ZIP_DEFLATED) as zf:
        for index in range(count):
            name = f"{folders[index % len(folders)]}/file_{index:04d}.bin"
            zf.writestr(name, file_content(rng, size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
