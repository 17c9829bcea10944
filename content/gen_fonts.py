"""Builds the four font sheets: 8 x 8 cells of glyphs, white on transparent (black is the colour key)."""
import math
import os

import numpy as np
from PIL import Image

import common

HERE = os.path.dirname(os.path.abspath(__file__))

# Cell order the font loader expects: index = row * 8 + column.
GLYPH_ORDER = (
    ["space"] + [chr(c) for c in range(ord("A"), ord("Z") + 1)] + [str(d) for d in range(10)]
    + ["period", "comma", "exclam", "question", "hyphen", "plus", "underscore", "number", "colon",
       "semicolon", "dollar", "parenleft", "parenright", "slash", "backslash", "equal", "apostrophe",
       "less", "greater", "ampersand"]
)
assert len(GLYPH_ORDER) == 57

BODY = (255, 255, 255)
SHADE = (196, 200, 214)     # lower edges; tinting keeps it a darker tone of the label colour
OUTLINE = (22, 18, 34)      # never pure black, which the loader keys out
SHADOW = (14, 10, 24)


def glyph_mask(rows, width, height):
    mask = np.zeros((height, width), dtype=bool)
    for y, row in enumerate(rows[:height]):
        for x, ch in enumerate(row[:width]):
            mask[y, x] = ch == "#"
    return mask


def scale2x(mask):
    """EPX: doubles a bitmap and rounds its diagonal steps instead of making blocks."""
    h, w = mask.shape
    p = np.pad(mask, 1)
    out = np.zeros((h * 2, w * 2), dtype=bool)
    for y in range(h):
        for x in range(w):
            c = p[y + 1, x + 1]
            a, b, cc, d = p[y, x + 1], p[y + 1, x + 2], p[y + 1, x], p[y + 2, x + 1]
            e0 = e1 = e2 = e3 = c
            if cc == a and cc != d and a != b:
                e0 = a
            if a == b and a != cc and b != d:
                e1 = b
            if d == cc and d != b and cc != a:
                e2 = cc
            if b == d and b != a and d != cc:
                e3 = d
            out[2 * y, 2 * x], out[2 * y, 2 * x + 1] = e0, e1
            out[2 * y + 1, 2 * x], out[2 * y + 1, 2 * x + 1] = e2, e3
    return out


def shift(mask, dx, dy):
    out = np.zeros_like(mask)
    h, w = mask.shape
    out[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] = \
        mask[max(-dy, 0):h + min(-dy, 0), max(-dx, 0):w + min(-dx, 0)]
    return out


def dilate(mask):
    out = mask.copy()
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            out |= shift(mask, dx, dy)
    return out


def paint(cell, mask, colour):
    cell[mask] = colour + (255,)


def fixed_cell(rows, size):
    base = glyph_mask(rows, 8, 8)
    cell = np.zeros((size, size, 4), dtype=np.uint8)
    if size == 8:
        glyph = base
        paint(cell, shift(glyph, 1, 1) & ~glyph, SHADOW)
        paint(cell, glyph, BODY)
        return cell
    if size == 16:
        glyph = scale2x(base)
        lower = glyph & ~shift(glyph, 0, -1)
        paint(cell, shift(glyph, 1, 1) & ~glyph, SHADOW)
        paint(cell, glyph, BODY)
        paint(cell, lower, SHADE)
        return cell
    # 32: doubled twice, moved one pixel in so the outline fits inside the cell.
    glyph = shift(scale2x(scale2x(base)), 1, 1)
    ring = dilate(glyph) & ~glyph
    paint(cell, shift(ring | glyph, 1, 1), SHADOW)
    paint(cell, ring, OUTLINE)
    ys = np.nonzero(glyph.any(axis=1))[0]
    top, bottom = (ys.min(), ys.max()) if len(ys) else (0, 1)
    for y in range(size):
        t = 0.0 if bottom == top else min(max((y - top) / (bottom - top), 0.0), 1.0)
        # Bright top half fading to a soft grey, like embossed arcade lettering.
        level = 255 if t < 0.45 else int(round(255 - (t - 0.45) / 0.55 * 70))
        row = glyph[y]
        cell[y][row] = (level, level, min(255, level + 6), 255)
    highlight = glyph & ~shift(glyph, 0, 1)
    cell[highlight] = (255, 255, 255, 255)
    lower = glyph & ~shift(glyph, 0, -1)
    cell[lower] = SHADE + (255,)
    return cell


def comic_cell(rows, index):
    """Strokes between neighbouring skeleton pixels, drawn with a round pen at 8x and reduced."""
    ss = 8
    size = 16
    big = size * ss
    pts = {(x, y) for y, row in enumerate(rows) for x, ch in enumerate(row) if ch == "#"}
    # Each glyph leans a little, alternating, for a hand-lettered bounce.
    tilt = math.radians(2.0 if index % 2 else -2.0)
    cx, cy = 7.5, 7.5

    def to_px(gx, gy):
        x = 2.7 + gx * 2.4
        y = 2.0 + gy * 1.9
        dx, dy = x - cx, y - cy
        return (cx + dx * math.cos(tilt) - dy * math.sin(tilt),
                cy + dx * math.sin(tilt) + dy * math.cos(tilt))

    segs = []
    for (x, y) in pts:
        segs.append((to_px(x, y), to_px(x, y)))
        for dx, dy in ((1, 0), (0, 1), (1, 1), (-1, 1)):
            if (x + dx, y + dy) in pts:
                if dx != 0 and dy != 0:
                    # Skip a diagonal when an orthogonal path already joins the two pixels.
                    if (x + dx, y) in pts or (x, y + dy) in pts:
                        continue
                segs.append((to_px(x, y), to_px(x + dx, y + dy)))
    yy, xx = np.mgrid[0:big, 0:big]
    px = (xx + 0.5) / ss
    py = (yy + 0.5) / ss
    dist = np.full((big, big), 99.0)
    for (x0, y0), (x1, y1) in segs:
        vx, vy = x1 - x0, y1 - y0
        ll = vx * vx + vy * vy
        if ll == 0:
            t = 0
        else:
            t = np.clip(((px - x0) * vx + (py - y0) * vy) / ll, 0, 1)
        d = np.hypot(px - (x0 + t * vx), py - (y0 + t * vy))
        dist = np.minimum(dist, d)
    pen = 1.8
    cover = (dist < pen).reshape(size, ss, size, ss).mean(axis=(1, 3))
    glyph = cover >= 0.42
    ring = dilate(glyph) & ~glyph
    cell = np.zeros((size, size, 4), dtype=np.uint8)
    paint(cell, ring, OUTLINE)
    paint(cell, glyph, BODY)
    lower = glyph & ~shift(glyph, 0, -1)
    paint(cell, lower, SHADE)
    return cell


def build_sheet(glyphs, cell_size, make_cell):
    sheet = np.zeros((cell_size * 8, cell_size * 8, 4), dtype=np.uint8)
    for i, name in enumerate(GLYPH_ORDER):
        cell = make_cell(glyphs[name], i)
        r, c = divmod(i, 8)
        sheet[r * cell_size:(r + 1) * cell_size, c * cell_size:(c + 1) * cell_size] = cell
    return Image.fromarray(sheet, "RGBA")


def main():
    arcade = common.read_glyph_file(os.path.join(HERE, "fonts", "arcade.txt"))
    comic = common.read_glyph_file(os.path.join(HERE, "fonts", "comic.txt"))
    missing = [n for n in GLYPH_ORDER if n not in arcade or n not in comic]
    if missing:
        raise SystemExit("glyphs missing: %s" % missing)
    for name, size in (("fixed_small", 8), ("fixed_medium", 16), ("fixed_large", 32)):
        sheet = build_sheet(arcade, size, lambda rows, i, s=size: fixed_cell(rows, s))
        common.save_png(sheet, "graphics", "fonts", name + ".png")
    common.save_png(build_sheet(comic, 16, comic_cell), "graphics", "fonts", "comic_medium.png")


if __name__ == "__main__":
    main()
