"""Builds the full-screen pictures: menu and play backgrounds, splashes, score board, banner and slider."""
import math
import os
import random

import numpy as np
from PIL import Image, ImageDraw

import common
import gen_fonts
import items
import scene
import tileset_layout as L
import wormsim

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 800, 600
ARCADE = common.read_glyph_file(os.path.join(HERE, "fonts", "arcade.txt"))
NAME_OF = {ch: name for name, ch in [("space", " "), ("period", "."), ("comma", ","), ("exclam", "!"),
                                     ("question", "?"), ("hyphen", "-"), ("plus", "+"), ("colon", ":"),
                                     ("apostrophe", "'")]}


def load(*parts):
    return Image.open(common.out_path(*parts)).convert("RGBA")


def font(name):
    return load("graphics", "fonts", name + ".png")


# --- big lettering ---------------------------------------------------------------------------------------

def text_mask(text, scale):
    """The arcade letters, rounded by two EPX passes, then enlarged: a mask of the whole line."""
    cells = []
    for ch in text.upper():
        name = NAME_OF.get(ch, ch)
        m = gen_fonts.scale2x(gen_fonts.scale2x(gen_fonts.glyph_mask(ARCADE[name], 8, 8)))
        cells.append(m)
    line = np.concatenate(cells, axis=1)
    line = line[:, :max(1, line.shape[1] - 4)]
    return np.kron(line, np.ones((scale, scale), dtype=bool))


def dilate(mask, r):
    out = mask.copy()
    h, w = mask.shape
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx * dx + dy * dy > r * r + r:
                continue
            sh = np.zeros_like(mask)
            sh[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] = \
                mask[max(-dy, 0):h + min(-dy, 0), max(-dx, 0):w + min(-dx, 0)]
            out |= sh
    return out


def title(text, scale, top, bottom, rim, shadow_offset=None, border=None):
    """Returns an RGBA image of lettering with a vertical gradient, a rim and a drop shadow."""
    m = text_mask(text, scale)
    pad = max(2, scale) * 3
    m = np.pad(m, pad)
    h, w = m.shape
    rim_w = max(1, scale // 2 + 1)
    ring = dilate(m, rim_w)
    out = np.zeros((h, w, 4), dtype=np.uint8)
    off = shadow_offset if shadow_offset is not None else max(1, scale)
    sh = np.zeros_like(ring)
    sh[off:, off:] = ring[:h - off, :w - off]
    out[sh] = (12, 10, 24, 200)
    if border is not None:
        outer = dilate(ring, max(1, scale // 2))
        out[outer & ~ring] = border + (255,)
    out[ring] = rim + (255,)
    ys = np.nonzero(m.any(axis=1))[0]
    y0, y1 = ys.min(), ys.max()
    for y in range(h):
        t = (y - y0) / max(1, y1 - y0)
        c = common.mix(top, bottom, min(1.0, max(0.0, t)) ** 1.3)
        row = m[y]
        out[y][row] = c + (255,)
    # A glint along the top of each stroke.
    up = m & ~np.roll(m, scale, axis=0)
    out[up] = common.mix(top, (255, 255, 255), 0.6) + (255,)
    return Image.fromarray(out, "RGBA")


def paste_centered(target, img, cx, cy):
    target.alpha_composite(img, (int(cx - img.width / 2), int(cy - img.height / 2)))


def small_text(target, text, name, x, y, tint, align="left"):
    sheet = font(name)
    gw = sheet.width // 8
    if align == "center":
        x -= len(text) * gw // 2
    elif align == "right":
        x -= len(text) * gw
    return common.draw_text(target, text, sheet, x, y, tint)


# --- scenery ---------------------------------------------------------------------------------------------

def field(tileset, cols, rows, seed, walls=False, obstacles=0.0, apples=0.0):
    rnd = random.Random(seed)
    grid = []
    for y in range(rows):
        line = ""
        for x in range(cols):
            if walls and (x in (0, cols - 1) or y in (0, rows - 1)):
                line += "#"
            elif rnd.random() < obstacles:
                line += "o"
            elif rnd.random() < apples:
                line += str(rnd.randrange(6))
            else:
                line += "."
        grid.append(line)
    img = scene.render(load("graphics", "tilesets", tileset + ".png"), grid, seed)
    # Whole cells overshoot the screen by a few rows; the picture is exactly the screen.
    return img.crop((0, 0, min(img.width, W), min(img.height, H)))


def darken(img, amount, tint=(10, 14, 30)):
    over = Image.new("RGBA", img.size, tint + (int(255 * amount),))
    out = img.copy()
    out.alpha_composite(over)
    return out


def vignette(img, strength=0.6):
    w, h = img.size
    yy, xx = np.mgrid[0:h, 0:w]
    d = np.sqrt(((xx - w / 2) / (w / 2)) ** 2 + ((yy - h / 2) / (h / 2)) ** 2) / math.sqrt(2)
    a = np.clip((d - 0.45) / 0.55, 0, 1) ** 1.5 * strength
    over = np.zeros((h, w, 4), dtype=np.uint8)
    over[:, :, 0:3] = (6, 8, 18)
    over[:, :, 3] = (a * 255).astype(np.uint8)
    out = img.copy()
    out.alpha_composite(Image.fromarray(over, "RGBA"))
    return out


def big_worm(skin, moves, growth, scale, start=(0, 0)):
    body = wormsim.run(start, moves, growth)
    xs = [s[0] for s in body]
    ys = [s[1] for s in body]
    ox, oy = -min(xs), -min(ys)
    img = Image.new("RGBA", ((max(xs) + ox + 1) * 16, (max(ys) + oy + 1) * 16), (0, 0, 0, 0))
    wormsim.draw(img, load("graphics", "skins", skin + ".png"), [[x + ox, y + oy, t] for x, y, t in body], 0, 0)
    return img.resize((img.width * scale, img.height * scale), Image.NEAREST)


def apple_icon(kind, scale):
    img = Image.fromarray(items.APPLES[kind](), "RGBA")
    return img.resize((16 * scale, 16 * scale), Image.NEAREST)


def drop_shadow(target, img, x, y, off=6, alpha=110):
    a = np.array(img)[:, :, 3] > 0
    sh = np.zeros(a.shape + (4,), dtype=np.uint8)
    sh[a] = (8, 10, 20, alpha)
    target.alpha_composite(Image.fromarray(sh, "RGBA"), (x + off, y + off))
    target.alpha_composite(img, (x, y))


def panel(target, box, fill=(14, 22, 26, 205), edge=(120, 200, 90), radius=10, edge_dark=(30, 50, 30)):
    """A rounded translucent board with a two-tone pixel frame."""
    layer = Image.new("RGBA", target.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    x0, y0, x1, y1 = box
    d.rounded_rectangle((x0 - 4, y0 - 4, x1 + 4, y1 + 4), radius + 4, fill=edge_dark + (255,))
    d.rounded_rectangle((x0 - 2, y0 - 2, x1 + 2, y1 + 2), radius + 2, fill=edge + (255,))
    d.rounded_rectangle((x0, y0, x1, y1), radius, fill=(0, 0, 0, 0))
    target.alpha_composite(layer)
    inner = Image.new("RGBA", target.size, (0, 0, 0, 0))
    ImageDraw.Draw(inner).rounded_rectangle((x0, y0, x1, y1), radius, fill=fill)
    target.alpha_composite(inner)


def frame(target, box, wood=(120, 76, 44), light=(196, 142, 84), dark=(60, 34, 22), width=10):
    """A bevelled frame just outside box (x0, y0, x1, y1 inclusive)."""
    d = ImageDraw.Draw(target)
    x0, y0, x1, y1 = box
    for i in range(width):
        t = i / max(1, width - 1)
        c = common.mix(light, dark, abs(t - 0.35) * 1.4)
        d.rectangle((x0 - width + i, y0 - width + i, x1 + width - i, y1 + width - i), outline=c + (255,))
    d.rectangle((x0 - 1, y0 - 1, x1 + 1, y1 + 1), outline=(20, 14, 16, 255))
    d.rectangle((x0 - width - 1, y0 - width - 1, x1 + width + 1, y1 + width + 1), outline=(20, 14, 16, 255))
    for cx, cy in ((x0 - width // 2, y0 - width // 2), (x1 + width // 2, y0 - width // 2),
                   (x0 - width // 2, y1 + width // 2), (x1 + width // 2, y1 + width // 2)):
        d.ellipse((cx - 3, cy - 3, cx + 3, cy + 3), fill=(230, 200, 110, 255), outline=(70, 50, 20, 255))


def hollow(target, box):
    """Clears a rectangle to transparent (the game draws there)."""
    arr = np.array(target)
    x0, y0, x1, y1 = box
    arr[y0:y1 + 1, x0:x1 + 1] = 0
    return Image.fromarray(arr, "RGBA")


def soil(w, h, seed):
    """Dark earth behind a map that is smaller than its view."""
    img = field("meadow", w // 16 + 1, h // 16 + 1, seed)
    img = img.crop((0, 0, w, h))
    return darken(img, 0.78, (18, 12, 10))


# --- the screens -----------------------------------------------------------------------------------------

def read_board():
    """The board's inner rectangle (left, top, right, bottom, inclusive), shared with the game's tests: every
    menu, list, highscore page and settings panel drawn over the menu background must fit inside it."""
    with open(os.path.join(HERE, "menu_board.txt")) as f:
        return tuple(int(v) for v in f.read().split())


MENU_BOX = read_board()
TAGLINE = "THE HUNGRY WORM"
WORM_PATH = (["right"] * 3 + ["up"] * 2 + ["right"] * 2 + ["down"] * 4 + ["right"] * 2 + ["up"] * 5 + ["left"] * 1)


def menu_back():
    img = field("meadow", 50, 38, 7, obstacles=0.03)
    img = darken(img, 0.42)
    img = vignette(img, 0.75)
    worm = big_worm("tarvo", ["down"] * 5 + ["right"] * 2 + ["up"] * 2 + ["right"] * 2 + ["up"] * 3, 14, 3)
    drop_shadow(img, worm, 800 - worm.width - 24, 600 - worm.height - 40, 8, 120)
    # Apples keep to the right of the board, the title and tag line above it.
    for kind, (x, y) in zip(range(6), ((700, 110), (560, 60), (700, 510), (620, 200), (596, 330), (660, 30))):
        drop_shadow(img, apple_icon(kind, 3), x, y, 5, 100)
    panel(img, MENU_BOX)
    centre = (MENU_BOX[0] + MENU_BOX[2]) // 2
    logo = title("TARVO", 3, (250, 255, 150), (90, 200, 60), (26, 60, 30), 6, border=(250, 250, 230))
    paste_centered(img, logo, centre, 74)
    tag = title(TAGLINE, 1, (255, 220, 120), (255, 150, 40), (60, 30, 10), 2)
    paste_centered(img, tag, centre, 154)
    return img


def fernhouse_splash():
    w, h = 512, 256
    img = Image.new("RGBA", (w, h), (6, 10, 12, 255))
    d = ImageDraw.Draw(img)
    # A little house on a 6-pixel grid, a fern growing out of its chimney.
    px = 6
    house = [
        "..............cc......",
        "..........##..cc......",
        "........######cc......",
        "......##############..",
        "....##################",
        "..######################",
        "....wwwwwwwwwwwwwwww....",
        "....wwwwwwwwwwwwwwww....",
        "....ww...wwwwww...ww....",
        "....ww...wwwwww...ww....",
        "....wwwwwwwwddwwwwww....",
        "....wwwwwwwwddwwwwww....",
        "....wwwwwwwwddwwwwww....",
    ]
    cols = {"#": (196, 70, 52), "w": (236, 220, 180), "d": (120, 70, 40), "c": (150, 90, 70)}
    ox, oy = 256 - 12 * px, 58
    for y, row in enumerate(house):
        for x, ch in enumerate(row):
            if ch in cols:
                c = cols[ch]
                if ch == "#" and (x + 2 * y) % 4 == 0:
                    c = (224, 100, 72)
                if ch == "w" and y == 6:
                    c = (200, 180, 140)
                d.rectangle((ox + x * px, oy + y * px, ox + x * px + px - 1, oy + y * px + px - 1), fill=c + (255,))
    for x0 in (ox + 6 * px, ox + 15 * px):
        d.rectangle((x0, oy + 8 * px, x0 + 3 * px - 1, oy + 10 * px - 1), fill=(255, 214, 100, 255))
    # Fern fronds: curved stems with leaflets that shrink towards the tip.
    base = (ox + 15 * px, oy + 0)
    for bend, length, lean in ((-1.0, 52, -0.9), (1.0, 46, 0.7), (-0.2, 58, -0.1)):
        prev = base
        for i in range(1, 24):
            t = i / 23
            x = base[0] + lean * length * t + bend * 14 * t * t
            y = base[1] - length * t + 18 * t * t * abs(bend)
            d.line((prev[0], prev[1], x, y), fill=(60, 150, 60, 255), width=2)
            if i % 2 == 0 and i < 22:
                leaf = 11 * (1 - t) + 2
                ang = math.atan2(y - prev[1], x - prev[0])
                for side in (1, -1):
                    a = ang + side * 1.1
                    d.line((x, y, x + math.cos(a) * leaf, y + math.sin(a) * leaf),
                           fill=(110, 210, 90, 255) if side > 0 else (80, 180, 70, 255), width=2)
            prev = (x, y)
    word = title("FERNHOUSE", 1, (240, 255, 230), (110, 200, 110), (20, 50, 30), 3)
    paste_centered(img, word, w // 2, 160 + word.height // 2)
    small_text(img, "GAMES", "fixed_medium", w // 2, 208, (250, 200, 130), "center")
    d = ImageDraw.Draw(img)
    d.line((130, 232, 382, 232), fill=(60, 110, 60, 255), width=2)
    return img


def splash():
    img = field("meadow", 50, 38, 21, obstacles=0.02, apples=0.0)
    img = darken(img, 0.30)
    img = vignette(img, 0.85)
    # Two worms circling the title: the heroes of both players.
    w1 = big_worm("tarvo", ["right"] * 9 + ["down"] * 2 + ["right"] * 3, 20, 3, (0, 0))
    w2 = big_worm("king", ["left"] * 9 + ["up"] * 2 + ["left"] * 3, 20, 3, (0, 0))
    drop_shadow(img, w1, 40, 400, 8)
    drop_shadow(img, w2, 800 - w2.width - 40, 60, 8)
    for kind, (x, y) in zip(range(6), ((70, 50), (90, 120), (40, 210), (690, 500), (730, 420), (260, 520))):
        drop_shadow(img, apple_icon(kind, 3), x, y, 5)
    logo = title("TARVO", 4, (255, 255, 170), (80, 190, 50), (22, 56, 26), 8, border=(255, 250, 230))
    paste_centered(img, logo, 400, 290)
    tag = title(TAGLINE, 1, (255, 225, 130), (255, 140, 40), (60, 28, 10), 2)
    paste_centered(img, tag, 400, 372)
    return img


HUD_ONE = (140, 12, 660, 62)


def hud_slot(img, box, colour=(18, 22, 30, 230)):
    panel(img, box, fill=colour, edge=(110, 120, 150), radius=4, edge_dark=(30, 30, 40))


def singleplayer_back():
    img = field("meadow", 50, 38, 33, obstacles=0.04)
    img = darken(img, 0.55)
    img = vignette(img, 0.7)
    view = (159, 90, 638, 569)
    frame(img, view)
    # HUD boards: POINTS (156..), GOAL (332..), TIME (505..), values anchored at y 35.
    for x0, x1 in ((150, 318), (326, 494), (500, 650)):
        hud_slot(img, (x0, 20, x1, 56))
    # The apple legend, so a new player learns what each kind does.
    legend = [("APPLE", "+10"), ("SUPER", "+50"), ("ROTTEN", "-10"), ("TURBO", "FAST"), ("BEER", "DIZZY"),
              ("CAKE", "GROW 7")]
    panel(img, (14, 150, 140, 520), fill=(14, 18, 24, 200), edge=(110, 120, 150), radius=6, edge_dark=(30, 30, 40))
    small_text(img, "APPLES", "fixed_small", 77, 160, (255, 220, 120), "center")
    for i, (name, effect) in enumerate(legend):
        y = 182 + i * 56
        img.alpha_composite(apple_icon(i, 2), (22, y))
        small_text(img, name, "fixed_small", 60, y + 6, (230, 230, 230))
        small_text(img, effect, "fixed_small", 60, y + 18, (120, 220, 90) if "+" in effect or effect == "FAST"
                   else (255, 130, 80))
    panel(img, (658, 150, 786, 520), fill=(14, 18, 24, 200), edge=(110, 120, 150), radius=6, edge_dark=(30, 30, 40))
    worm = big_worm("tarvo", ["down"] * 3 + ["right"] * 2 + ["down"] * 4 + ["left"] * 2 + ["down"] * 4
                    + ["right"] * 2 + ["down"] * 2, 16, 2)
    img.alpha_composite(worm, (722 - worm.width // 2, 335 - worm.height // 2))
    img = hollow(img, view)
    inner = soil(480, 480, 34)
    img.alpha_composite(inner, (159, 90))
    return img


def twoplayer_back():
    img = field("meadow", 50, 38, 44, obstacles=0.04)
    img = darken(img, 0.55)
    img = vignette(img, 0.6)
    left = (31, 90, 377, 569)
    right = (422, 90, 768, 569)
    frame(img, left, wood=(120, 50, 60), light=(210, 110, 110), dark=(60, 20, 26))
    frame(img, right, wood=(50, 70, 130), light=(120, 150, 230), dark=(20, 30, 70))
    # Player two's HUD on the left half, player one's on the right; time in the middle.
    for x0, x1, tint in ((22, 170, (60, 20, 26)), (176, 312, (60, 20, 26)), (330, 470, (30, 30, 40)),
                         (486, 630, (20, 30, 70)), (640, 780, (20, 30, 70))):
        panel(img, (x0, 20, x1, 56), fill=(18, 22, 30, 230), edge=(130, 130, 150), radius=4, edge_dark=tint)
    small_text(img, "P2", "fixed_medium", 204, 583, (255, 120, 120), "center")
    small_text(img, "P1", "fixed_medium", 595, 583, (140, 170, 255), "center")
    for kind in range(6):
        img.alpha_composite(apple_icon(kind, 1), (392, 150 + kind * 60))
    img = hollow(img, left)
    img = hollow(img, right)
    img.alpha_composite(soil(347, 480, 45), (31, 90))
    img.alpha_composite(soil(347, 480, 46), (422, 90))
    return img


ROWS_BOX = (88, 138, 712, 346)


def scoreboard_back():
    img = field("castle", 50, 38, 55, obstacles=0.0)
    img = darken(img, 0.5)
    img = vignette(img, 0.7)
    frame(img, ROWS_BOX, width=12)
    logo = title("CLEARED!", 2, (255, 250, 170), (255, 170, 40), (70, 30, 10), 4, border=(255, 245, 220))
    paste_centered(img, logo, 400, 74)
    names = ["APPLE", "SUPER", "ROTTEN", "TURBO", "BEER", "CAKE", "SCORE"]
    for i, name in enumerate(names):
        small_text(img, name, "fixed_small", 70, 150 + 28 * i + 4, (255, 200, 90) if i == 6 else (220, 220, 220),
                   "right")
    small_text(img, "POINTS", "fixed_small", 700, 126 - 12, (220, 220, 220), "right")
    panel(img, (300, 420, 500, 450), fill=(14, 18, 24, 210), edge=(120, 200, 90), radius=4)
    small_text(img, "PRESS RETURN", "fixed_small", 400, 431, (255, 255, 255), "center")
    # The rows are drawn by the game before this picture, so the box stays see-through.
    return hollow(img, ROWS_BOX)


def highscore_banner():
    w, h = 512, 128
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    cx, cy = 256, 64
    pts = []
    for i in range(40):
        a = i * math.pi / 20
        r = 1.0 if i % 2 == 0 else 0.72
        pts.append((cx + math.cos(a) * r * 250, cy + math.sin(a) * r * 62))
    d.polygon(pts, fill=(255, 190, 40, 255), outline=(120, 60, 10, 255))
    d.polygon([(cx + (x - cx) * 0.88, cy + (y - cy) * 0.86) for x, y in pts], fill=(255, 226, 90, 255))
    d.polygon([(6, 40), (506, 40), (488, 64), (506, 88), (6, 88), (24, 64)], fill=(200, 30, 40, 255),
              outline=(80, 10, 20, 255))
    d.line((10, 43, 500, 43), fill=(240, 90, 90, 255))
    d.line((10, 85, 500, 85), fill=(140, 16, 30, 255))
    word = title("NEW HIGHSCORE!", 1, (255, 255, 255), (255, 226, 170), (70, 10, 20), 2)
    img.alpha_composite(word, (cx - word.width // 2, cy - word.height // 2 + 1))
    for sx, sy in ((60, 14), (440, 18), (120, 112), (400, 110), (250, 8)):
        for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1), (2, 0), (-2, 0), (0, 2), (0, -2)):
            img.putpixel((sx + dx, sy + dy), (255, 255, 255, 255))
    return img


def slider():
    """Knob, track, left and right ends; white and greys so the game's tint colours it."""
    img = np.zeros((64, 64, 4), dtype=np.uint8)
    rim = (70, 70, 78, 255)

    def track_pixel(y):
        # Track 10 pixels high in the middle of the tile, lit from above.
        if y in (11, 20):
            return rim
        if 12 <= y <= 19:
            v = [150, 120, 110, 112, 118, 128, 140, 170][y - 12]
            return (v, v, v + 6, 255)
        return None

    for y in range(32):
        c = track_pixel(y)
        if c is not None:
            img[y, 32:64] = c
    for x in range(32):
        for y in range(32):
            c = track_pixel(y)
            if c is None:
                continue
            # Left end: rounded cap at x 4.., right end mirrored.
            for ox, xx in ((0, x), (32, 31 - x)):
                dx = max(0, 9 - xx)
                dy = abs(y + 0.5 - 16)
                if math.hypot(dx, dy) <= 5.0:
                    edge = math.hypot(dx, dy) > 4.0
                    img[32 + y, ox + x] = rim if edge or xx < 5 and y in (11, 20) else c
    for y in range(32):
        for x in range(32):
            dx, dy = x + 0.5 - 16, y + 0.5 - 16
            r = math.hypot(dx, dy)
            if r <= 11.5:
                if r > 10.5:
                    img[y, x] = rim
                    continue
                nz = math.sqrt(max(0.0, 1 - (r / 10.5) ** 2))
                lit = 0.35 + 0.75 * max(0.0, (-dx * 0.5 - dy * 0.7) / 10.5 * 0.9 + nz * 0.6)
                v = int(min(255, 120 + 135 * min(1.0, lit)))
                img[y, x] = (v, v, v, 255)
                if math.hypot(dx + 4, dy + 4) < 2.2:
                    img[y, x] = (255, 255, 255, 255)
    # Pure black would be keyed out: lift the darkest pixels.
    arr = img
    dark = (arr[:, :, 3] > 0) & (arr[:, :, 0:3].sum(axis=2) == 0)
    arr[dark] = (1, 1, 1, 255)
    return Image.fromarray(arr, "RGBA")


SCREENS = {
    "menu_back": menu_back, "fernhouse_splash": fernhouse_splash, "splash": splash,
    "singleplayer_back": singleplayer_back, "twoplayer_back": twoplayer_back, "scoreboard_back": scoreboard_back,
    "highscore": highscore_banner, "slider": slider,
}


def main():
    for name, make in SCREENS.items():
        img = make()
        if name not in ("scoreboard_back", "highscore", "slider"):
            img = Image.alpha_composite(Image.new("RGBA", img.size, (0, 0, 0, 255)), img).convert("RGB")
        common.save_png(img, "graphics", name + ".png")


if __name__ == "__main__":
    main()
