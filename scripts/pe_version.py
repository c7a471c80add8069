#!/usr/bin/env python3
"""Prints the file version (a.b.c.d) of a PE file's version resource, e.g. 1.0.0.0."""
import struct
import sys

FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


def file_version(data: bytes) -> str:
    at = data.find(struct.pack("<I", FIXED_FILE_INFO_SIGNATURE))
    if at < 0:
        raise SystemExit("no version resource")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        print(file_version(f.read()))
