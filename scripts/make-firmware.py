#!/usr/bin/env python3
"""Writes firmware files (*.dat) for trying the program against the device simulator.

A firmware file is a header followed by the firmware data:
  byte 0       header size (8 to 255; below 8 the header counts as missing)
  bytes 1-3    serial number of the target device, big-endian (0: every device of the variant)
  bytes 4-7    revision: major, minor, suffix character, reserved
  bytes 8-     release notes, Shift-JIS, lines separated by LF, up to the header's end

  make-firmware.py --samples DIR          the three sample files below, for the simulated device
  make-firmware.py OUT [options]          one file of your own (see --help)

Samples (the simulated device has serial number 0x123456 and revision suffix 'a'):
  lune-1.3a.dat        fits the device: any device of variant a, revision 1.3a, two notes lines
  other-device.dat     made for the device with serial number 0x654321
  short-header.dat     header size 7: no valid header
"""
import argparse
import os
import sys

SAMPLE_NOTES = "接続の安定性を改善しました.\n更新時間を短縮しました."


def firmware(serial, major, minor, suffix, notes, data_size, header_size=None):
    notes_bytes = notes.encode("cp932")
    size = header_size if header_size is not None else 8 + len(notes_bytes)
    if not 0 <= size <= 255:
        raise ValueError("header size %d out of range" % size)
    header = bytes([size, (serial >> 16) & 0xFF, (serial >> 8) & 0xFF, serial & 0xFF,
                    major, minor, ord(suffix), 0]) + notes_bytes
    header = header[:size].ljust(size, b"\0")
    # Firmware data: a fixed pseudo-random pattern, the same on every run.
    data = bytearray()
    value = 0x2545F491
    for _ in range(data_size):
        value = (value * 1103515245 + 12345) & 0x7FFFFFFF
        data.append(value >> 16 & 0xFF)
    return header + bytes(data)


def write(path, content):
    with open(path, "wb") as f:
        f.write(content)
    print("wrote %s (%d bytes)" % (path, len(content)))


def samples(folder):
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, "lune-1.3a.dat"),
          firmware(0, 1, 3, "a", SAMPLE_NOTES, 3000))
    write(os.path.join(folder, "other-device.dat"),
          firmware(0x654321, 1, 3, "a", "別の機器用です.", 3000))
    write(os.path.join(folder, "short-header.dat"),
          firmware(0, 1, 3, "a", "", 3000, header_size=7))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out", nargs="?", help="the file to write")
    parser.add_argument("--samples", metavar="DIR", help="write the three sample files to DIR")
    parser.add_argument("--serial", type=lambda s: int(s, 0), default=0,
                        help="target serial number (24 bits; 0 = every device of the variant)")
    parser.add_argument("--revision", default="1.3a", help="major.minor followed by the suffix")
    parser.add_argument("--notes", default="", help="release notes (\\n separates lines)")
    parser.add_argument("--data-size", type=int, default=3000, help="bytes of firmware data")
    parser.add_argument("--header-size", type=int, help="override the header size byte")
    args = parser.parse_args()

    if args.samples:
        samples(args.samples)
        return 0
    if not args.out:
        parser.error("name a file to write, or --samples DIR")
    numbers, suffix = args.revision[:-1], args.revision[-1]
    major, minor = (int(n) for n in numbers.split("."))
    write(args.out, firmware(args.serial, major, minor, suffix,
                             args.notes.replace("\\n", "\n"), args.data_size, args.header_size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
