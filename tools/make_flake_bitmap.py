"""Writes the flake picture, bitmap resource 112: a 64 x 64, 24-bit snowflake on black.

    python3 tools/make_flake_bitmap.py [--out resources/flake.bmp] [--preview docs/flake.png]

The preview is the same picture enlarged eight times, pixel for pixel, for looking at.
"""

import argparse
import os

import image_formats
import snowflake_art

SIZE = 64
# The brightest colour of the flake; every other pixel is a darker shade of it, or black.
FLAKE_COLOUR = (204, 204, 255)
# Reach of the main arms from the centre, in pixels: leaves a black margin round the picture.
ARM_REACH = 28.0
PREVIEW_SCALE = 8
# Edge pixels fainter than this could never pass the scene's alpha test (which needs about an
# eighth of full brightness); they are left black so the background stays pure black.
INVISIBLE = 0.05


def flake_pixels():
    rows = snowflake_art.render(snowflake_art.texture_style(ARM_REACH), SIZE)
    return snowflake_art.tint(rows, FLAKE_COLOUR, floor=INVISIBLE)


def enlarged(rows, scale):
    out = []
    for row in rows:
        wide = [pixel + (255,) for pixel in row for _ in range(scale)]
        out.extend([wide] * scale)
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "resources", "flake.bmp"))
    parser.add_argument("--preview", help="also write an enlarged PNG here")
    args = parser.parse_args()
    pixels = flake_pixels()
    with open(args.out, "wb") as f:
        f.write(image_formats.bmp_24bit(SIZE, SIZE, pixels))
    if args.preview:
        with open(args.preview, "wb") as f:
            f.write(image_formats.png_rgba(SIZE * PREVIEW_SCALE, SIZE * PREVIEW_SCALE,
                                           enlarged(pixels, PREVIEW_SCALE)))


if __name__ == "__main__":
    main()
