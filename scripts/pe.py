#!/usr/bin/env python3
"""Reads what the build checks out of a PE file (32- or 64-bit).

    pe.py resource FILE TYPE ID   writes resource TYPE/ID (first language) to stdout
    pe.py resources FILE          lists type, id, language and size of every resource
    pe.py version FILE            prints the file version of the version resource (a.b.c.d)
    pe.py header FILE             prints the header's fields as name=value lines
"""
import struct
import sys

FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD
RT_VERSION = 16
DLL_CHARACTERISTICS = {
    0x0020: "HIGH_ENTROPY_VA",
    0x0040: "DYNAMIC_BASE",
    0x0080: "FORCE_INTEGRITY",
    0x0100: "NX_COMPAT",
    0x0200: "NO_ISOLATION",
    0x0400: "NO_SEH",
    0x0800: "NO_BIND",
    0x1000: "APPCONTAINER",
    0x2000: "WDM_DRIVER",
    0x4000: "GUARD_CF",
    0x8000: "TERMINAL_SERVER_AWARE",
}


class PeFile:
    def __init__(self, data: bytes):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        (self.machine, sections, self.time_stamp, self.symbol_table, self.symbols,
         optional_size, self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        (self.os_version, self.image_version, self.subsystem_version) = [
            f"{major}.{minor}" for major, minor in
            zip(*[iter(struct.unpack_from("<6H", data, optional + 40))] * 2)]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, optional + 68)
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.security = struct.unpack_from("<II", data, directories + 4 * 8)
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

    def header(self):
        flags = [name for bit, name in DLL_CHARACTERISTICS.items()
                 if self.dll_characteristics & bit]
        return {
            "bits": 32 if self.magic == 0x10B else 64,
            "time_stamp": self.time_stamp,
            "symbol_table": self.symbol_table,
            "symbols": self.symbols,
            "os_version": self.os_version,
            "subsystem_version": self.subsystem_version,
            "subsystem": self.subsystem,
            "dll_characteristics": " ".join(flags),
            "signature_size": self.security[1],
        }

    def _entries(self, directory: int):
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

    def resources(self):
        if self.root is None:
            return
        for rtype, t in self._entries(self.root):
            for rid, n in self._entries(self.root + (t & 0x7FFFFFFF)):
                for lang, leaf in self._entries(self.root + (n & 0x7FFFFFFF)):
                    rva, size = struct.unpack_from("<II", self.data, self.root + leaf)
                    at = self.offset(rva)
                    yield rtype, rid, lang, self.data[at:at + size]

    def resource(self, want_type, want_id):
        for rtype, rid, _, blob in self.resources():
            if rtype == want_type and rid == want_id:
                return blob
        return None

    def file_version(self) -> str:
        for rtype, _, _, blob in self.resources():
            if rtype != RT_VERSION:
                continue
            at = blob.find(struct.pack("<I", FIXED_FILE_INFO_SIGNATURE))
            if at >= 0:
                ms, ls = struct.unpack_from("<II", blob, at + 8)
                return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
        raise ValueError("no version resource")


def key(text: str):
    return int(text) if text.isdigit() else text


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    command, path = argv[1], argv[2]
    with open(path, "rb") as f:
        pe = PeFile(f.read())
    if command == "resource":
        blob = pe.resource(key(argv[3]), key(argv[4]))
        if blob is None:
            print(f"resource {argv[3]}/{argv[4]} not found", file=sys.stderr)
            return 1
        sys.stdout.buffer.write(blob)
    elif command == "resources":
        for rtype, rid, lang, blob in pe.resources():
            print(rtype, rid, lang, len(blob))
    elif command == "version":
        print(pe.file_version())
    elif command == "header":
        for name, value in pe.header().items():
            print(f"{name}={value}")
    else:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
