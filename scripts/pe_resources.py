#!/usr/bin/env python3
"""Reads resources out of a PE file (32- or 64-bit).

    pe_resources.py FILE TYPE ID        writes resource TYPE/ID (first language) to stdout
    pe_resources.py FILE --list         lists type, id, language and size of every resource
"""
import struct
import sys


class PeResources:
    def __init__(self, data: bytes):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections = struct.unpack_from("<H", data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.rsrc_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            s = table + 40 * i
            vsize, rva, rsize, raw = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((rva, max(vsize, rsize), raw))
        self.root = self.offset(self.rsrc_rva) if self.rsrc_rva else None

    def offset(self, rva: int) -> int:
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"rva {rva:#x} outside every section")

    def entries(self, directory: int):
        named, ids = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if name & 0x80000000:
                at = self.root + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            yield key, target

    def all(self):
        if self.root is None:
            return
        for rtype, t in self.entries(self.root):
            for rid, n in self.entries(self.root + (t & 0x7FFFFFFF)):
                for lang, leaf in self.entries(self.root + (n & 0x7FFFFFFF)):
                    rva, size = struct.unpack_from("<II", self.data, self.root + leaf)
                    at = self.offset(rva)
                    yield rtype, rid, lang, self.data[at:at + size]


def main(argv):
    with open(argv[1], "rb") as f:
        resources = PeResources(f.read())
    if argv[2] == "--list":
        for rtype, rid, lang, blob in resources.all():
            print(rtype, rid, lang, len(blob))
        return 0
    want_type = int(argv[2]) if argv[2].isdigit() else argv[2]
    want_id = int(argv[3]) if argv[3].isdigit() else argv[3]
    for rtype, rid, _, blob in resources.all():
        if rtype == want_type and rid == want_id:
            sys.stdout.buffer.write(blob)
            return 0
    print(f"resource {want_type}/{want_id} not found", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
