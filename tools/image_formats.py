"""Byte-exact writers for the picture files Tavrel ships: 24-bit BMP, RGBA PNG and multi-size ICO.

Standard library only, and no timestamps or other varying data, so the same pixels always give
the same bytes.
"""

import struct
import zlib


def bmp_24bit(width, height, rgb_rows):
    """A bottom-up, uncompressed 24-bit BMP; rgb_rows lists rows top first, pixels as (r, g, b)."""
    row_bytes = (width * 3 + 3) & ~3
    image_size = row_bytes * height
    pixel_offset = 14 + 40
    body = bytearray()
    for row in reversed(rgb_rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(row_bytes - len(line))
        body += line
    file_header = struct.pack("<2sIHHI", b"BM", pixel_offset + image_size, 0, 0, pixel_offset)
    # 2835 pixels per metre is 72 dots per inch, the customary value.
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size,
                              2835, 2835, 0, 0)
    return file_header + info_header + bytes(body)


def png_rgba(width, height, rgba_rows):
    """An 8-bit RGBA PNG; rgba_rows lists rows top first, pixels as (r, g, b, a)."""
    raw = bytearray()
    for row in rgba_rows:
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def icon_dib(size, rgba_rows):
    """One icon image as a 32-bit BGRA DIB (double height: colour rows, then the AND mask)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    for row in reversed(rgba_rows):
        bits = bytearray(mask_row_bytes)
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def ico(images):
    """An ICO file from (size, image bytes) pairs, each image a DIB or a PNG."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = bytearray()
    data = bytearray()
    for size, image in images:
        # Sizes of 256 are written as 0 in the one-byte width and height fields.
        side = size % 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        data += image
        offset += len(image)
    return directory + bytes(entries) + bytes(data)
