"""The eight-armed snowflake that Tavrel draws, as a vector figure rendered to any pixel size.

The figure has the symmetry of a square: four main arms (up, down, left, right) and four diagonal
arms, each with side branches, joined by a small ring around a bright centre. Only one eighth of it
is described (the wedge between the right-hand arm and the upper-right diagonal); a pixel is
folded into that wedge before its distance to the strokes is measured, so the rendered picture is
exactly symmetric under quarter turns and mirroring.
"""

import math
from dataclasses import dataclass, field

ROOT_HALF = math.sqrt(0.5)


@dataclass(frozen=True)
class Branch:
    """A side branch: where it leaves its arm (0 centre, 1 tip of a main arm), how long it is,
    and how far it turns away from the arm's outward direction, in degrees."""
    at: float
    length: float
    angle: float


@dataclass(frozen=True)
class FlakeStyle:
    """Proportions (in units of the main arm's length) and stroke half-widths (in pixels)."""
    radius_px: float
    main_width: float
    diagonal_width: float
    branch_width: float
    ring_width: float
    centre_radius: float
    diagonal_length: float = 0.80
    ring_radius: float = 0.16
    main_branches: tuple = ()
    diagonal_branches: tuple = ()
    tip_fade: float = 0.22
    with_ring: bool = True
    strokes: list = field(default_factory=list, compare=False)


# The texture's flake: bold enough to read as a snowflake when shown 10 to 30 pixels wide.
TEXTURE_BRANCHES = (Branch(0.40, 0.25, 45.0), Branch(0.64, 0.19, 45.0), Branch(0.84, 0.09, 45.0))
DIAGONAL_BRANCHES = (Branch(0.52, 0.13, 45.0),)


def texture_style(radius_px):
    return FlakeStyle(radius_px=radius_px, main_width=1.5, diagonal_width=1.4,
                      branch_width=0.95, ring_width=1.0, centre_radius=1.3,
                      diagonal_length=0.72, main_branches=TEXTURE_BRANCHES,
                      diagonal_branches=DIAGONAL_BRANCHES)


def icon_style(size):
    """Fewer, bolder strokes as the icon gets smaller, so the 16-pixel icon still reads."""
    radius = size * 0.40
    if size <= 24:
        return FlakeStyle(radius_px=radius, main_width=0.95, diagonal_width=0.8,
                          branch_width=0.7, ring_width=0.7, centre_radius=1.0,
                          diagonal_length=0.72, main_branches=(Branch(0.62, 0.36, 45.0),),
                          tip_fade=0.0, with_ring=False)
    if size <= 48:
        scale = size / 32.0
        return FlakeStyle(radius_px=radius, main_width=1.0 * scale,
                          diagonal_width=0.85 * scale, branch_width=0.75 * scale,
                          ring_width=0.7 * scale, centre_radius=1.0 * scale,
                          diagonal_length=0.76, ring_radius=0.2,
                          main_branches=(Branch(0.45, 0.28, 45.0), Branch(0.72, 0.2, 45.0)),
                          diagonal_branches=(Branch(0.5, 0.14, 45.0),), tip_fade=0.1,
                          with_ring=size >= 48)
    scale = radius / 25.6
    return FlakeStyle(radius_px=radius, main_width=1.15 * scale, diagonal_width=1.0 * scale,
                      branch_width=0.85 * scale, ring_width=0.75 * scale,
                      centre_radius=1.0 * scale, main_branches=TEXTURE_BRANCHES,
                      diagonal_branches=DIAGONAL_BRANCHES, tip_fade=0.12)


def wedge_strokes(style):
    """The strokes of one eighth of the flake, as (x0, y0, x1, y1, half-width) in arm units.

    Every stroke lies inside the wedge 0 <= y <= x, which is what makes folding exact."""
    start = style.ring_radius if style.with_ring else 0.0
    strokes = [(start, 0.0, 1.0, 0.0, style.main_width)]
    for branch in style.main_branches:
        turn = math.radians(branch.angle)
        strokes.append((branch.at, 0.0, branch.at + branch.length * math.cos(turn),
                        branch.length * math.sin(turn), style.branch_width))
    d = style.diagonal_length
    strokes.append((start * ROOT_HALF, start * ROOT_HALF, d * ROOT_HALF, d * ROOT_HALF,
                    style.diagonal_width))
    for branch in style.diagonal_branches:
        turn = math.radians(45.0 - branch.angle)
        base = branch.at * ROOT_HALF
        strokes.append((base, base, base + branch.length * math.cos(turn),
                        base + branch.length * math.sin(turn), style.branch_width))
    return strokes


def segment_distance(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    length_sq = dx * dx + dy * dy
    t = 0.0 if length_sq == 0.0 else ((px - x0) * dx + (py - y0) * dy) / length_sq
    t = min(1.0, max(0.0, t))
    return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))


def soft_edge(distance_px, half_width):
    """Full inside the stroke, fading to nothing over one pixel across its edge."""
    return min(1.0, max(0.0, half_width + 0.5 - distance_px))


def brightness_at(style, strokes, x, y):
    """The flake's brightness (0 to 1) at a point given in pixels from the centre, y upward."""
    x, y = abs(x), abs(y)
    if y > x:
        x, y = y, x
    unit = style.radius_px
    r_px = math.hypot(x, y)
    cover = soft_edge(r_px, style.centre_radius)
    if style.with_ring:
        cover = max(cover, soft_edge(abs(r_px - style.ring_radius * unit), style.ring_width))
    for x0, y0, x1, y1, width in strokes:
        if cover >= 1.0:
            break
        d = segment_distance(x, y, x0 * unit, y0 * unit, x1 * unit, y1 * unit)
        cover = max(cover, soft_edge(d, width))
    # The arms dim a little towards their tips, like light caught mostly at the heart of a crystal.
    inner = style.ring_radius * unit if style.with_ring else 0.0
    reach = min(1.0, max(0.0, (r_px - inner) / (unit - inner)))
    return cover * (1.0 - style.tip_fade * reach * reach)


def render(style, size):
    """Brightness rows, top row first, for a size x size picture centred on the flake."""
    strokes = wedge_strokes(style)
    half = size / 2.0
    rows = []
    for row in range(size):
        y = half - (row + 0.5)
        rows.append([brightness_at(style, strokes, (col + 0.5) - half, y) for col in range(size)])
    return rows


def tint(rows, colour, floor=0.0):
    """Colour rows: each brightness scales the colour; brightness below floor becomes black."""
    return [[tuple(round(c * v) for c in colour) if v > floor else (0, 0, 0) for v in row]
            for row in rows]
