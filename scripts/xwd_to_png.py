#!/usr/bin/env python3
"""Turns one xwd window dump (24-bit TrueColor, as Xvfb makes) into an RGB PNG of the same size.

   python3 scripts/xwd_to_png.py IN.xwd OUT.png

Standard library only, so that the picture needs no image toolkit; the PNG holds no time stamp
or text chunk, so one picture always gives the same file.
"""
import struct
import sys
import zlib

ZPIXMAP = 2


def read_xwd(data):
    # The header is 25 big-endian 32-bit words; the window name and the colour map follow it.
    fields = struct.unpack(">25I", data[:100])
    (header_size, _version, pixmap_format, depth, width, height, _xoffset, byte_order,
     _unit, _bit_order, _pad, bits_per_pixel, bytes_per_line, _visual_class,
     red_mask, green_mask, blue_mask, _bits_per_rgb, _map_entries, ncolors) = fields[:20]
    if pixmap_format != ZPIXMAP or bits_per_pixel != 32 or depth != 24:
        sys.exit(f"expected a 24-bit ZPixmap dump, got format {pixmap_format}, depth {depth}, "
                 f"{bits_per_pixel} bits a pixel")
    pixels = data[header_size + 12 * ncolors:]
    if len(pixels) < bytes_per_line * height:
        sys.exit("the dump ends before its last row")
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [(mask, shift(mask)) for mask in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + 4 * width]
        row = bytearray()
        for (value,) in struct.iter_unpack(order + "I", line):
            row += bytes((value & mask) >> s for mask, s in shifts)
        rows.append(bytes(row))
    return width, height, rows


def png(width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as source:
        width, height, rows = read_xwd(source.read())
    with open(sys.argv[2], "wb") as target:
        target.write(png(width, height, rows))


if __name__ == "__main__":
    main()
