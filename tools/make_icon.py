"""Writes the program icon, icon resource 101: the snowflake on a deep-blue rounded square.

    python3 tools/make_icon.py [--out resources/tavrel.ico] [--preview docs/icon.png]

Every size is drawn afresh from the vector flake (bolder and simpler at the small sizes) rather
than scaled from one picture. The 256-pixel image is stored as PNG, the others as 32-bit DIBs.
The preview shows every size on a light backdrop, and the three smallest again enlarged.
"""

import argparse
import math
import os

import image_formats
import snowflake_art

SIZES = (16, 24, 32, 48, 64, 128, 256)
FLAKE_COLOUR = (232, 240, 255)
TOP_COLOUR = (44, 96, 178)
BOTTOM_COLOUR = (10, 32, 92)
BACKDROP = (214, 218, 224)
PREVIEW_ZOOM = 4


def tile_coverage(size, x, y):
    """How much of the pixel centred at (x, y) lies inside the rounded square (0 to 1)."""
    margin = 0.0 if size <= 24 else size / 32.0
    corner = size * 0.2
    half = size / 2.0 - margin
    qx = abs(x - size / 2.0) - (half - corner)
    qy = abs(y - size / 2.0) - (half - corner)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - corner
    return min(1.0, max(0.0, 0.5 - outside))


def blend(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def icon_pixels(size):
    """RGBA rows, top first: the flake laid over the tile, transparent outside it."""
    flake = snowflake_art.render(snowflake_art.icon_style(size), size)
    rows = []
    for row in range(size):
        y = row + 0.5
        ground = blend(TOP_COLOUR, BOTTOM_COLOUR, y / size)
        pixels = []
        for col in range(size):
            cover = tile_coverage(size, col + 0.5, y)
            if cover == 0.0:
                pixels.append((0, 0, 0, 0))
                continue
            colour = blend(ground, FLAKE_COLOUR, flake[row][col])
            pixels.append(tuple(round(c) for c in colour) + (round(255 * cover),))
        rows.append(pixels)
    return rows


def icon_file(images):
    entries = []
    for size, rows in images:
        if size >= 256:
            entries.append((size, image_formats.png_rgba(size, size, rows)))
        else:
            entries.append((size, image_formats.icon_dib(size, rows)))
    return image_formats.ico(entries)


def over_backdrop(pixel):
    r, g, b, a = pixel
    return tuple(round(c * a / 255 + d * (255 - a) / 255) for c, d in zip((r, g, b), BACKDROP))


def preview(images):
    """All sizes side by side, then the small ones enlarged, on an opaque backdrop."""
    gap = 8
    small = [(size, rows) for size, rows in images if size <= 32]
    width = sum(size + gap for size, _ in images) + gap
    height = max(size for size, _ in images) + 3 * gap + 32 * PREVIEW_ZOOM
    canvas = [[BACKDROP + (255,)] * width for _ in range(height)]

    def place(rows, left, top, zoom):
        for y, row in enumerate(rows):
            for x, pixel in enumerate(row):
                for dy in range(zoom):
                    line = canvas[top + y * zoom + dy]
                    for dx in range(zoom):
                        line[left + x * zoom + dx] = over_backdrop(pixel) + (255,)

    left = gap
    for size, rows in images:
        place(rows, left, gap, 1)
        left += size + gap
    left = gap
    for size, rows in small:
        place(rows, left, 256 + 2 * gap, PREVIEW_ZOOM)
        left += size * PREVIEW_ZOOM + gap
    return image_formats.png_rgba(width, height, canvas)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "resources", "tavrel.ico"))
    parser.add_argument("--preview", help="also write a PNG showing every size")
    args = parser.parse_args()
    images = [(size, icon_pixels(size)) for size in SIZES]
    with open(args.out, "wb") as f:
        f.write(icon_file(images))
    if args.preview:
        with open(args.preview, "wb") as f:
            f.write(preview(images))


if __name__ == "__main__":
    main()
