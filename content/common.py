"""Small helpers shared by the content generators."""
import os

from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def out_path(*parts):
    path = os.path.join(ROOT, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def save_png(image, *parts):
    # No metadata and a fixed compression level, so a rebuild gives the same bytes.
    path = out_path(*parts)
    image.save(path, format="PNG", optimize=False, compress_level=9)
    return path


def hex_rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(a, b, t))) for a, b in zip(c1, c2))


def clamp(v, lo=0, hi=255):
    return max(lo, min(hi, v))


def not_key_black(c):
    # Pure black is the colour key of fonts, skins and tilesets; keep drawn pixels just above it.
    r, g, b = c[:3]
    if r == 0 and g == 0 and b == 0:
        return (1, 1, 2) + tuple(c[3:])
    return c


def read_glyph_file(path):
    """Reads glyph blocks: a line 'glyph NAME' followed by rows of '#' and '.'."""
    glyphs = {}
    name = None
    rows = []
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if line.startswith("glyph "):
                if name is not None:
                    glyphs[name] = rows
                name = line[len("glyph "):].strip()
                rows = []
            elif line.strip() == "" or line.startswith(";"):
                continue
            elif name is not None:
                rows.append(line.strip())
    if name is not None:
        glyphs[name] = rows
    return glyphs


GLYPH_INDEX = {" ": 0}
GLYPH_INDEX.update({chr(ord("A") + i): 1 + i for i in range(26)})
GLYPH_INDEX.update({str(d): 27 + d for d in range(10)})
GLYPH_INDEX.update({ch: 37 + i for i, ch in enumerate(".,!?-+_#:;$()/\\='<>&")})


def draw_text(target, text, sheet, x, y, tint=(255, 255, 255)):
    """Draws text as the game does: one cell per byte, glyph tinted by multiplication."""
    gw, gh = sheet.width // 8, sheet.height // 8
    for ch in text:
        idx = GLYPH_INDEX[ch.upper()]
        cell = sheet.crop(((idx % 8) * gw, (idx // 8) * gh, (idx % 8 + 1) * gw, (idx // 8 + 1) * gh))
        cell = cell.convert("RGBA")
        px = cell.load()
        for j in range(gh):
            for i in range(gw):
                r, g, b, a = px[i, j]
                if r == 0 and g == 0 and b == 0:
                    a = 0
                px[i, j] = (r * tint[0] // 255, g * tint[1] // 255, b * tint[2] // 255, a)
        target.alpha_composite(cell, (x, y))
        x += gw
    return x
