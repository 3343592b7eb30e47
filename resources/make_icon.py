#!/usr/bin/env python3
"""Makes farthom.ico from the text pixel maps in icon_pixels.txt (Python 3 standard library only).

    make_icon.py icon_pixels.txt farthom.ico            writes the icon
    make_icon.py icon_pixels.txt farthom.ico --check    fails unless the file is exactly what
                                                        the maps make
    make_icon.py icon_pixels.txt farthom.ico --png DIR  also writes enlarged PNG previews
"""
import argparse
import struct
import sys
import zlib

# The standard 16-colour palette, in its usual order: (name, red, green, blue).
STANDARD_PALETTE = [
    ("black", 0x00, 0x00, 0x00), ("maroon", 0x80, 0x00, 0x00),
    ("darkgreen", 0x00, 0x80, 0x00), ("olive", 0x80, 0x80, 0x00),
    ("navy", 0x00, 0x00, 0x80), ("purple", 0x80, 0x00, 0x80),
    ("teal", 0x00, 0x80, 0x80), ("silver", 0xC0, 0xC0, 0xC0),
    ("grey", 0x80, 0x80, 0x80), ("red", 0xFF, 0x00, 0x00),
    ("green", 0x00, 0xFF, 0x00), ("yellow", 0xFF, 0xFF, 0x00),
    ("blue", 0x00, 0x00, 0xFF), ("magenta", 0xFF, 0x00, 0xFF),
    ("cyan", 0x00, 0xFF, 0xFF), ("white", 0xFF, 0xFF, 0xFF),
]
TRANSPARENT = "."
# Each image's size in bytes is fixed by its dimensions at 4 bits per pixel.
EXPECTED_IMAGE_BYTES = {32: 744, 16: 296}


class MapError(Exception):
    pass


def read_maps(path):
    """The colour letters and the images, in file order, as lists of rows."""
    letters = {}
    images = []
    current = None
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            words = line.split()
            if words[0] == "colour":
                letter, index, name = words[1], int(words[2]), words[3]
                if len(letter) != 1 or letter == TRANSPARENT:
                    raise MapError(f"line {number}: a colour is named by one letter")
                if not 0 <= index < 16 or STANDARD_PALETTE[index][0] != name:
                    raise MapError(f"line {number}: palette entry {index} is not {name}")
                letters[letter] = index
            elif words[0] == "image":
                current = (int(words[1]), [])
                images.append(current)
            else:
                if current is None:
                    raise MapError(f"line {number}: pixels before an image line")
                for char in line:
                    if char != TRANSPARENT and char not in letters:
                        raise MapError(f"line {number}: unknown colour {char!r}")
                current[1].append(line)
    for size, rows in images:
        if len(rows) != size or any(len(row) != size for row in rows):
            raise MapError(f"the {size}x{size} image is not {size} rows of {size} pixels")
    return letters, images


def padded(data):
    """Bitmap rows are padded to a multiple of 4 bytes."""
    return data + b"\0" * (-len(data) % 4)


def image_bytes(size, rows, letters):
    """One icon image: header, palette, colour bits and AND mask, rows bottom-up."""
    colour_rows = []
    mask_rows = []
    for row in reversed(rows):
        indices = [0 if char == TRANSPARENT else letters[char] for char in row]
        colour_rows.append(padded(bytes((indices[x] << 4) | indices[x + 1]
                                        for x in range(0, size, 2))))
        mask_bits = 0
        for char in row:
            mask_bits = (mask_bits << 1) | (char == TRANSPARENT)
        mask_rows.append(padded(mask_bits.to_bytes(size // 8, "big")))
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    # An icon's header gives twice the height: colour bits and mask stacked.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", blue, green, red, 0)
                       for _, red, green, blue in STANDARD_PALETTE)
    data = header + palette + colour + mask
    if size in EXPECTED_IMAGE_BYTES and len(data) != EXPECTED_IMAGE_BYTES[size]:
        raise MapError(f"the {size}x{size} image came to {len(data)} bytes")
    return data


def icon_file(letters, images):
    """The .ico: directory, one entry per image, then the images in the same order."""
    blobs = [image_bytes(size, rows, letters) for size, rows in images]
    offset = 6 + 16 * len(blobs)
    directory = struct.pack("<HHH", 0, 1, len(blobs))
    for (size, _), blob in zip(images, blobs):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob),
                                 offset)
        offset += len(blob)
    return directory + b"".join(blobs)


def png_preview(size, rows, letters, scale):
    """An enlarged RGBA picture of one image, transparent where the mask is set."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b""
    for row in rows:
        line = b""
        for char in row:
            if char == TRANSPARENT:
                pixel = b"\0\0\0\0"
            else:
                _, red, green, blue = STANDARD_PALETTE[letters[char]]
                pixel = bytes((red, green, blue, 255))
            line += pixel * scale
        raw += (b"\0" + line) * scale
    side = size * scale
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("pixels")
    parser.add_argument("icon")
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing icon instead of writing it")
    parser.add_argument("--png", metavar="DIR", help="write enlarged previews to DIR")
    arguments = parser.parse_args()

    try:
        letters, images = read_maps(arguments.pixels)
    except (MapError, ValueError, IndexError) as error:
        sys.exit(f"{arguments.pixels}: {error}")
    made = icon_file(letters, images)

    if arguments.png:
        for size, rows in images:
            with open(f"{arguments.png}/icon-{size}.png", "wb") as preview:
                preview.write(png_preview(size, rows, letters, 256 // size))

    if arguments.check:
        with open(arguments.icon, "rb") as existing:
            if existing.read() != made:
                sys.exit(f"{arguments.icon} differs from what {arguments.pixels} makes; "
                         "run make_icon.py without --check")
        print(f"{arguments.icon} is what {arguments.pixels} makes ({len(made)} bytes)")
    else:
        with open(arguments.icon, "wb") as icon:
            icon.write(made)


if __name__ == "__main__":
    main()
