#!/usr/bin/env python3
"""Draws the program's icon, KelvoUpdate.ico: 32x32 and 16x16, 16 colours each.

A dark blue device with a small display and a yellow arrow coming down into it.
Run from this folder: python3 make_icon.py
"""
import struct

# The standard 16-colour palette, as (blue, green, red, 0) quads.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]  # (r, g, b)
BLACK, NAVY, GREY, SILVER, BLUE, YELLOW, CYAN, WHITE = 0, 4, 8, 7, 12, 11, 14, 15
CLEAR = None


def draw(size):
    """Rows top to bottom of palette indices, CLEAR where transparent."""
    pixels = [[CLEAR] * size for _ in range(size)]

    def box(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                pixels[y][x] = colour

    def arrow(shaft_x0, shaft_x1, shaft_end, centre, rows):
        # Shaft from the top edge, then a head narrowing by one pixel per side and row.
        box(shaft_x0 - 1, 0, shaft_x1 + 1, shaft_end, BLACK)
        box(shaft_x0, 0, shaft_x1, shaft_end, YELLOW)
        for row in range(rows):
            half = rows - row
            box(centre - half, shaft_end - 1 + row, centre + half, shaft_end + row, BLACK)
            if half > 1:
                box(centre - half + 1, shaft_end - 1 + row, centre + half - 1,
                    shaft_end + row, YELLOW)

    if size == 32:
        # Device body with a black outline, a display and two keys.
        box(4, 12, 28, 31, BLACK)
        box(5, 13, 27, 30, NAVY)
        box(8, 16, 24, 23, BLACK)
        box(9, 17, 23, 22, CYAN)
        box(9, 25, 14, 28, SILVER)
        box(18, 25, 23, 28, SILVER)
        arrow(14, 18, 9, 16, 8)
    else:
        box(2, 6, 14, 16, BLACK)
        box(3, 7, 13, 15, NAVY)
        box(4, 8, 12, 11, CYAN)
        box(4, 12, 7, 14, SILVER)
        box(9, 12, 12, 14, SILVER)
        arrow(7, 9, 4, 8, 4)
    return pixels


def image(size):
    pixels = draw(size)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        xor = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is CLEAR else colour
            xor[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is CLEAR:
                mask[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xor))
        and_rows.append(bytes(mask))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor_rows) * xor_stride + len(and_rows) * and_stride, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def main():
    sizes = [32, 16]
    images = [image(size) for size in sizes]
    directory = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        directory += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open('KelvoUpdate.ico', 'wb') as out:
        out.write(directory + b''.join(images))


if __name__ == '__main__':
    main()
