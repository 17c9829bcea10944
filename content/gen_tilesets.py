"""Builds the map tilesets: 256 x 256 sheets of 16 x 16 tiles in the layout of tileset_layout.py."""
import math
import random

import numpy as np
from PIL import Image

import common
import items
import pixelart as pa
import tileset_layout as L


# --- ground ---------------------------------------------------------------------------------------------

def window(x, y):
    """0 at the tile's edges, 1 in its middle: variations stay inside, so any two ground tiles meet."""
    ex = min(x + 0.5, 15.5 - x) / 4.0
    ey = min(y + 0.5, 15.5 - y) / 4.0
    return max(0.0, min(1.0, ex, ey))


def ground_tile(level_fn, colours, seed, vary):
    img = pa.canvas()
    extra = pa.fractal(seed + 101)
    for y in range(16):
        for x in range(16):
            lv = level_fn(x, y)
            if vary:
                lv += (extra(x * 1.7, y * 1.7) - 0.5) * 1.6 * window(x, y)
            idx = int(min(len(colours) - 1, max(0, math.floor(lv * len(colours)))))
            pa.put(img, x, y, colours[idx])
    return img


def noise_level(seed, contrast=1.0, dither=0.0):
    f = pa.fractal(seed)
    rnd = random.Random(seed)
    jitter = [[rnd.random() for _ in range(16)] for _ in range(16)]

    def level(x, y):
        v = 0.5 + (f(x, y) - 0.5) * 2.2 * contrast
        return v + (jitter[y % 16][x % 16] - 0.5) * dither
    return level


def scatter(img, rnd, count, painter):
    """Paints small details at random interior spots (2 pixels from every edge)."""
    for _ in range(count):
        painter(img, rnd.randint(3, 12), rnd.randint(3, 12), rnd)


def flower(colour):
    def paint(img, x, y, rnd):
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            pa.put(img, x + dx, y + dy, colour)
        pa.put(img, x, y, (255, 226, 90))
        pa.blend(img, x + 1, y + 2, (20, 40, 20), 70)
    return paint


def tuft(colour, dark):
    def paint(img, x, y, rnd):
        for dx, dy in ((0, 0), (0, -1), (-1, 0), (1, -1), (-1, -1), (1, 0)):
            pa.put(img, x + dx, y + dy, colour if dy < 0 else dark)
    return paint


def pebble(light, dark):
    def paint(img, x, y, rnd):
        pa.put(img, x, y, light)
        pa.put(img, x + 1, y, dark)
        pa.put(img, x, y + 1, dark)
        pa.put(img, x + 1, y + 1, common.mix(dark, (10, 10, 10), 0.4))
    return paint


def dot(colour):
    def paint(img, x, y, rnd):
        pa.put(img, x, y, colour)
    return paint


def crack(colour):
    def paint(img, x, y, rnd):
        for i in range(4):
            pa.put(img, x + i - 1, y + (i * 7 % 3) - 1, colour)
    return paint


# --- walls -----------------------------------------------------------------------------------------------

def wall_depth(px, py, mask, rc):
    qx = 1 if px >= 8 else -1
    qy = 1 if py >= 8 else -1
    h = bool(mask & (L.E if qx > 0 else L.W))
    v = bool(mask & (L.S if qy > 0 else L.N))
    corner = {(1, -1): L.NE, (1, 1): L.SE, (-1, 1): L.SW, (-1, -1): L.NW}[(qx, qy)]
    d = bool(mask & corner)
    a = 16 - px if qx > 0 else px
    b = 16 - py if qy > 0 else py
    if not h and not v:
        if a < rc and b < rc:
            return rc - math.hypot(rc - a, rc - b)
        return min(a, b)
    if not h:
        return a
    if not v:
        return b
    if not d:
        return math.hypot(a, b)
    return 99.0


def wall_tile(mask, style):
    img = pa.canvas()
    rc = style["round"]
    for y in range(16):
        for x in range(16):
            px, py = x + 0.5, y + 0.5
            d = wall_depth(px, py, mask, rc)
            if d < 0:
                continue
            gx = wall_depth(px + 0.5, py, mask, rc) - wall_depth(px - 0.5, py, mask, rc)
            gy = wall_depth(px, py + 0.5, mask, rc) - wall_depth(px, py - 0.5, mask, rc)
            colour = style["paint"](x, y, d, -gx, -gy)
            if colour is not None:
                pa.put(img, x, y, colour)
    return img


def facing(nx, ny):
    """How much an edge with outward normal (nx, ny) faces the light from the top left: -1 .. 1."""
    n = math.hypot(nx, ny)
    if n == 0:
        return 0.0
    return (-nx - ny) / (n * math.sqrt(2))


def solid_style(top, edge_light, edge_dark, line, rc, bevel, top_fn=None):
    def paint(x, y, d, nx, ny):
        if d < 1.0:
            return line
        if d < bevel:
            f = facing(nx, ny)
            return edge_light if f > 0.15 else (edge_dark if f < -0.15 else common.mix(edge_light, edge_dark, 0.5))
        return top_fn(x, y, d) if top_fn else top
    return dict(round=rc, paint=paint)


def liquid_style(rim, shore, shallow, deep, sparkle, rc, sparkle_fn):
    def paint(x, y, d, nx, ny):
        if d < 1.0:
            return rim
        if d < 2.6:
            return shore if facing(nx, ny) > -0.4 else common.mix(shore, rim, 0.35)
        t = min(1.0, (d - 2.6) / 5.0)
        base = common.mix(shallow, deep, t)
        if d < 3.6 and facing(nx, ny) > 0.2:
            base = common.mix(base, (20, 20, 40), 0.35)   # the bank's shadow on the surface
        if sparkle_fn(x, y, d):
            return sparkle
        return base
    return dict(round=rc, paint=paint)


def leafy_top(seed, colours):
    f = pa.fractal(seed)
    rnd = random.Random(seed)
    spots = {(rnd.randrange(16), rnd.randrange(16)) for _ in range(10)}

    def top(x, y, d):
        v = f(x * 1.3, y * 1.3) + (0.18 if (x, y) in spots else 0.0) + (0.08 if (x + 2 * y) % 5 == 0 else 0)
        idx = int(min(len(colours) - 1, max(0, (v - 0.25) * 2.0 * len(colours))))
        return colours[idx]
    return top


def brick_top(mortar, bricks):
    def top(x, y, d):
        row = y // 4
        off = 4 if row % 2 else 0
        if y % 4 == 3 or (x + off) % 8 == 7:
            return mortar
        brick = ((x + off) // 8 + row * 3) % len(bricks)
        c = bricks[brick]
        if y % 4 == 0:
            c = common.mix(c, (255, 255, 255), 0.18)
        return c
    return top


def rock_top(seed, colours, crack_col):
    f = pa.fractal(seed)

    def top(x, y, d):
        v = f(x * 1.1, y * 1.1)
        if abs(f(x * 0.9 + 5, y * 0.9 + 9) - 0.5) < 0.025:
            return crack_col
        idx = int(min(len(colours) - 1, max(0, (v - 0.2) * 1.7 * len(colours))))
        return colours[idx]
    return top


def wave_sparkle(seed):
    rnd = random.Random(seed)
    pts = set()
    for _ in range(5):
        x, y = rnd.randrange(16), rnd.randrange(16)
        pts.update({(x, y), ((x + 1) % 16, y)})

    def fn(x, y, d):
        return d > 3.5 and (x, y) in pts
    return fn


# --- obstacles -------------------------------------------------------------------------------------------

def obstacle(draw):
    def make():
        img = pa.canvas()
        draw(img)
        return img
    return make


def boulder(base, line):
    def draw(img):
        pa.soft_shadow(img, 9, 13.2, 6.5, 2.4, 100)
        pa.ellipse(img, 8, 8.5, 6.4, 5.6, pa.ramp(base, shadow=(30, 26, 40)))
        pa.ellipse(img, 11, 6, 2.4, 2.0, pa.ramp(base, shadow=(30, 26, 40)), bias=0.15)
        pa.outline(img, line)
        for x, y in ((6, 9), (7, 10), (8, 10)):
            pa.put(img, x, y, common.mix(common.hex_rgb(base), (20, 20, 30), 0.5))
    return obstacle(draw)


def bush(base, line, berries=None):
    def draw(img):
        pa.soft_shadow(img, 9, 13, 6.8, 2.6, 100)
        colours = pa.ramp(base, shadow=(10, 30, 30))
        for cx, cy, r in ((5.5, 8.5, 3.6), (10.5, 8.5, 3.6), (8, 5.5, 3.8), (8, 10.5, 3.6)):
            pa.ellipse(img, cx, cy, r, r, colours)
        pa.outline(img, line)
        if berries:
            for x, y in ((5, 7), (10, 10), (9, 4), (11, 7)):
                pa.put(img, x, y, berries)
    return obstacle(draw)


def tree(canopy, line):
    def draw(img):
        pa.soft_shadow(img, 9.5, 10, 7.2, 5.5, 110)
        colours = pa.ramp(canopy, shadow=(10, 30, 40))
        for cx, cy, r in ((8, 8, 6.6), (5.5, 6, 3.2), (10.5, 6.5, 3.0), (7.5, 10.5, 3.2)):
            pa.ellipse(img, cx, cy, r, r, colours, bias=0.05)
        pa.outline(img, line)
    return obstacle(draw)


def stump(bark, wood):
    def draw(img):
        pa.soft_shadow(img, 9, 12.5, 6.4, 2.6, 100)
        pa.ellipse(img, 8, 8.5, 6, 5.6, pa.ramp(bark, shadow=(30, 16, 20)))
        for y in range(16):
            for x in range(16):
                r = math.hypot((x + 0.5 - 8) / 4.4, (y + 0.5 - 8) / 4.0)
                if r < 1:
                    ring = int(r * 3.2) % 2
                    pa.put(img, x, y, common.hex_rgb(wood) if ring == 0 else common.mix(common.hex_rgb(wood),
                                                                                      (90, 50, 30), 0.35))
        pa.outline(img, (50, 28, 24))
    return obstacle(draw)


def mushroom():
    def draw(img):
        pa.soft_shadow(img, 9, 13.5, 6, 2, 100)
        pa.ellipse(img, 8, 8, 6.6, 6.0, pa.ramp("#d9302c"))
        for x, y in ((5, 6), (6, 6), (10, 5), (9, 9), (10, 9), (5, 10), (12, 8)):
            pa.put(img, x, y, (255, 248, 236))
        pa.outline(img, (64, 16, 24))
    return obstacle(draw)


def fence_post():
    def draw(img):
        pa.soft_shadow(img, 9, 12, 5, 3, 100)
        pa.rect(img, 4, 3, 11, 12, (166, 112, 64))
        pa.rect(img, 4, 3, 11, 4, (200, 148, 90))
        pa.rect(img, 10, 5, 11, 12, (130, 84, 48))
        for y in (6, 9):
            pa.put(img, 6, y, (110, 70, 40))
            pa.put(img, 8, y + 1, (110, 70, 40))
        pa.outline(img, (60, 34, 22))
    return obstacle(draw)


def sunflower():
    def draw(img):
        pa.soft_shadow(img, 9, 12.5, 6.5, 3, 90)
        for i in range(10):
            a = i * math.pi / 5
            pa.ellipse(img, 8 + math.cos(a) * 4.2, 8 + math.sin(a) * 4.2, 2.2, 2.2, pa.ramp("#ffcc22"))
        pa.ellipse(img, 8, 8, 3.3, 3.3, pa.ramp("#7a4a1c", shadow=(40, 20, 20)))
        pa.outline(img, (90, 54, 14))
    return obstacle(draw)


def pillar(base):
    def draw(img):
        pa.soft_shadow(img, 9.5, 10.5, 7, 5, 110)
        pa.ellipse(img, 8, 8, 6.8, 6.8, pa.ramp(base, shadow=(30, 30, 50)))
        pa.ellipse(img, 8, 8, 4.3, 4.3, pa.ramp(common.mix(common.hex_rgb(base), (255, 255, 255), 0.15)), bias=0.2)
        pa.outline(img, (40, 40, 56))
    return obstacle(draw)


def barrel():
    def draw(img):
        pa.soft_shadow(img, 9.5, 10.5, 7, 5, 110)
        pa.ellipse(img, 8, 8, 6.6, 6.6, pa.ramp("#9a6234", shadow=(40, 20, 20)))
        for y in range(16):
            for x in range(16):
                r = math.hypot(x + 0.5 - 8, y + 0.5 - 8)
                if 5.2 < r < 6.3:
                    pa.put(img, x, y, (120, 120, 130))
                elif r < 5.2 and x % 3 == 0:
                    pa.put(img, x, y, (120, 74, 40))
        pa.outline(img, (50, 28, 22))
    return obstacle(draw)


def crate():
    def draw(img):
        pa.soft_shadow(img, 9.5, 10.5, 7, 6, 110)
        pa.rect(img, 2, 2, 13, 13, (196, 140, 74))
        for i in range(2, 14):
            pa.put(img, i, i, (150, 98, 50))
            pa.put(img, i, 15 - i, (150, 98, 50))
        for i in range(2, 14):
            pa.put(img, i, 2, (226, 180, 110))
            pa.put(img, 2, i, (226, 180, 110))
            pa.put(img, i, 13, (130, 84, 44))
            pa.put(img, 13, i, (130, 84, 44))
        pa.outline(img, (56, 32, 20))
    return obstacle(draw)


def brazier():
    def draw(img):
        pa.soft_shadow(img, 9.5, 10.5, 7, 5, 110)
        pa.ellipse(img, 8, 8, 6.4, 6.4, pa.ramp("#6a6a78", shadow=(20, 20, 30)))
        pa.ellipse(img, 8, 8, 4.4, 4.4, pa.ramp("#ff7a1a", shadow=(160, 20, 10), light=(255, 255, 160)),
                   bias=0.3)
        for x, y in ((7, 6), (8, 7), (9, 8), (7, 9)):
            pa.put(img, x, y, (255, 250, 190))
        pa.outline(img, (30, 26, 36))
    return obstacle(draw)


def cactus():
    def draw(img):
        pa.soft_shadow(img, 9.5, 11, 6.5, 4.5, 100)
        pa.ellipse(img, 8, 8, 6.0, 6.0, pa.ramp("#4fa03a", shadow=(10, 40, 30)))
        for i in range(8):
            a = i * math.pi / 4
            pa.put(img, int(8 + math.cos(a) * 4.5), int(8 + math.sin(a) * 4.5), (230, 240, 200))
        pa.put(img, 7, 7, (255, 120, 160))
        pa.put(img, 8, 7, (255, 160, 190))
        pa.outline(img, (24, 60, 30))
    return obstacle(draw)


def skull():
    def draw(img):
        pa.soft_shadow(img, 9, 12.5, 6, 2.5, 100)
        pa.ellipse(img, 8, 7, 5.2, 4.8, pa.ramp("#ece2c6", shadow=(90, 70, 60)))
        pa.rect(img, 5, 10, 10, 12, (222, 212, 184))
        for x, y in ((6, 7), (5, 7), (10, 7), (11, 7), (6, 8), (10, 8)):
            pa.put(img, x, y, (60, 40, 40))
        pa.put(img, 8, 9, (80, 60, 50))
        for x in (6, 8, 10):
            pa.put(img, x, 12, (120, 100, 80))
        pa.outline(img, (70, 54, 44))
    return obstacle(draw)


def urn():
    def draw(img):
        pa.soft_shadow(img, 9, 13.5, 6, 2, 100)
        pa.ellipse(img, 8, 9.5, 5.5, 5, pa.ramp("#c8683a", shadow=(60, 20, 30)))
        pa.rect(img, 6, 2, 10, 4, (170, 80, 44))
        pa.rect(img, 5, 2, 11, 2, (210, 120, 70))
        for x in range(4, 13):
            pa.put(img, x, 9, (240, 210, 120))
        pa.outline(img, (60, 26, 20))
    return obstacle(draw)


def palm():
    def draw(img):
        pa.soft_shadow(img, 9.5, 10, 7.2, 5.5, 100)
        leaf = pa.ramp("#58b040", shadow=(10, 40, 30))
        for i in range(5):
            a = i * 2 * math.pi / 5 + 0.3
            for s in range(1, 8):
                r = 1.6 - s * 0.12
                pa.ellipse(img, 8 + math.cos(a) * s, 8 + math.sin(a) * s, r, r, leaf)
        pa.ellipse(img, 8, 8, 1.8, 1.8, pa.ramp("#8a5a2a"))
        pa.outline(img, (24, 56, 26))
    return obstacle(draw)


def ice_block():
    def draw(img):
        pa.soft_shadow(img, 9.5, 10.5, 7, 6, 90)
        pa.rect(img, 2, 2, 13, 13, (170, 226, 250))
        for i in range(2, 14):
            pa.put(img, i, 2, (240, 252, 255))
            pa.put(img, 2, i, (240, 252, 255))
            pa.put(img, i, 13, (110, 170, 220))
            pa.put(img, 13, i, (110, 170, 220))
        for x, y in ((5, 5), (6, 5), (5, 6), (9, 9), (10, 10)):
            pa.put(img, x, y, (255, 255, 255))
        pa.outline(img, (40, 70, 120))
    return obstacle(draw)


def snowman():
    def draw(img):
        pa.soft_shadow(img, 9.5, 11, 6.5, 4.5, 90)
        pa.ellipse(img, 8, 9, 5.8, 5.8, pa.ramp("#eef4ff", shadow=(60, 70, 120)))
        pa.ellipse(img, 7.5, 6.5, 3.2, 3.2, pa.ramp("#f6faff", shadow=(60, 70, 120)), bias=0.1)
        pa.put(img, 6, 6, (30, 30, 40))
        pa.put(img, 8, 6, (30, 30, 40))
        pa.put(img, 7, 7, (255, 140, 40))
        pa.outline(img, (50, 60, 100))
    return obstacle(draw)


def crystal(colour):
    def draw(img):
        pa.soft_shadow(img, 9.5, 12, 6, 3, 100)
        shards = [[(8, 1), (11, 7), (8, 14), (5, 7)], [(3, 6), (6, 9), (4, 13), (1, 10)],
                  [(12, 5), (15, 9), (13, 13), (10, 10)]]
        ramp_ = pa.ramp(colour, shadow=(20, 20, 70), light=(255, 255, 255))
        for shard in shards:
            m = pa.polygon_mask(shard)
            cx = sum(p[0] for p in shard) / 4
            for y in range(16):
                for x in range(16):
                    if m[y, x]:
                        pa.put(img, x, y, ramp_[3] if x + 0.5 < cx else ramp_[1])
        pa.outline(img, (30, 30, 80))
    return obstacle(draw)


# --- themes ----------------------------------------------------------------------------------------------

def theme_meadow():
    grass = [common.hex_rgb(c) for c in ("#3f8a3a", "#4c9c3e", "#58ab45", "#66b94c")]
    dirt = [common.hex_rgb(c) for c in ("#8a6038", "#9a6e42", "#a97c4c", "#b88c5a")]
    hedge = [common.hex_rgb(c) for c in ("#1f5a2c", "#28703a", "#318544", "#3f9a4e", "#58b05a")]
    return dict(
        ground=(noise_level(11, 0.9, 0.35), grass,
                [flower((250, 250, 255)), flower((255, 120, 150)), flower((140, 170, 255)),
                 tuft((120, 200, 90), (50, 120, 50)), pebble((200, 200, 190), (120, 120, 110))]),
        floor=(noise_level(12, 0.8, 0.5), dirt,
               [pebble((210, 190, 160), (120, 90, 60)), dot((120, 86, 50)), tuft((110, 170, 70), (80, 110, 50))]),
        wall_a=solid_style(None, (92, 180, 88), (24, 80, 40), (16, 48, 28), 4.5, 2.8, leafy_top(13, hedge)),
        wall_b=liquid_style((40, 60, 70), (226, 210, 150), (70, 160, 220), (34, 90, 170), (230, 250, 255), 5.0,
                            wave_sparkle(14)),
        obstacles=[boulder("#9a9a9a", (44, 44, 52)), bush("#3f9a48", (20, 56, 30), (220, 40, 60)),
                   tree("#3c8c3c", (18, 50, 26)), stump("#7a4e2c", "#d8aa6a"), mushroom(), fence_post(),
                   sunflower(), bush("#5aa83a", (24, 60, 24))],
    )


def theme_castle():
    stone = [common.hex_rgb(c) for c in ("#55566a", "#606277", "#6c6e84", "#787a90")]
    planks = [common.hex_rgb(c) for c in ("#6a4024", "#7a4c2c", "#8a5a34", "#9a683e")]
    bricks = [common.hex_rgb(c) for c in ("#8c8ca0", "#9a9aae", "#8090a4", "#a2a0b0")]
    flag_f = noise_level(21, 0.7, 0.4)

    def flagstones(x, y):
        if x % 8 == 7 or y % 8 == 7:
            return 0.05
        return 0.3 + flag_f(x, y) * 0.7

    def plank_level(x, y):
        if y % 4 == 3:
            return 0.05
        seam = (x + (y // 4) * 5) % 16 == 0
        return 0.1 if seam else 0.35 + pa.fractal(22)(x * 0.5, y * 3) * 0.6

    return dict(
        ground=(flagstones, stone,
                [crack((70, 70, 86)), dot((90, 140, 80)), pebble((170, 170, 180), (90, 90, 100)),
                 tuft((80, 130, 70), (50, 90, 50))]),
        floor=(plank_level, planks, [dot((60, 36, 20)), crack((70, 44, 26))]),
        wall_a=solid_style(None, (196, 196, 214), (70, 70, 90), (34, 32, 46), 1.5, 2.5,
                           brick_top((80, 80, 96), bricks)),
        wall_b=liquid_style((50, 24, 24), (110, 60, 50), (255, 170, 40), (210, 60, 20), (255, 250, 200), 4.0,
                            wave_sparkle(24)),
        obstacles=[pillar("#a4a4b8"), barrel(), crate(), brazier(), boulder("#7a7a8c", (34, 34, 44)), skull(),
                   pillar("#b89a70"), crate()],
    )


def theme_desert():
    sand = [common.hex_rgb(c) for c in ("#d6a85a", "#e0b466", "#e8c078", "#f0cc88")]
    clay = [common.hex_rgb(c) for c in ("#a45a34", "#b4683c", "#c07646", "#cc8452")]
    rock = [common.hex_rgb(c) for c in ("#9a5a36", "#aa6a40", "#b8784a", "#c88a58", "#d89c68")]

    def dunes(x, y):
        return 0.5 + 0.35 * math.sin((x + 2 * y) * 2 * math.pi / 16) + (pa.fractal(31)(x, y) - 0.5) * 0.6

    def clay_level(x, y):
        if x % 16 == 0 or y % 16 == 0 or (x + y) % 16 == 8 and 4 < x < 12:
            return 0.05
        return 0.3 + pa.fractal(32)(x, y) * 0.7

    return dict(
        ground=(dunes, sand, [pebble((200, 170, 130), (150, 110, 80)), dot((190, 140, 80)),
                              tuft((160, 170, 80), (120, 110, 50)), dot((250, 230, 200))]),
        floor=(clay_level, clay, [crack((130, 70, 40)), dot((200, 140, 100))]),
        wall_a=solid_style(None, (236, 170, 110), (110, 56, 36), (70, 34, 26), 3.5, 3.0,
                           rock_top(33, rock, (120, 66, 40))),
        wall_b=liquid_style((60, 70, 60), (120, 170, 70), (70, 210, 200), (24, 130, 160), (240, 255, 250), 5.0,
                            wave_sparkle(34)),
        obstacles=[cactus(), boulder("#b67a4c", (70, 38, 28)), skull(), urn(), palm(), bush("#8a9a3a", (50, 56, 24)),
                   boulder("#c89060", (80, 44, 30)), cactus()],
    )


def theme_ice():
    snow = [common.hex_rgb(c) for c in ("#c6d6ee", "#d2e0f4", "#dde8f8", "#e8f0fc")]
    ice = [common.hex_rgb(c) for c in ("#7ab8e0", "#88c4ea", "#96d0f2", "#a6dcf8")]
    rock = [common.hex_rgb(c) for c in ("#4a5474", "#566284", "#627094", "#707ea2", "#8290b4")]

    def ice_level(x, y):
        streak = (x - y) % 16 in (0, 1)
        return 0.3 + pa.fractal(42)(x, y) * 0.5 + (0.3 if streak else 0)

    return dict(
        ground=(noise_level(41, 0.6, 0.3), snow,
                [dot((255, 255, 255)), pebble((150, 160, 180), (90, 100, 130)), tuft((120, 150, 110), (80, 100, 90))]),
        floor=(ice_level, ice, [dot((255, 255, 255)), crack((90, 150, 200))]),
        wall_a=solid_style(None, (160, 176, 210), (40, 46, 70), (26, 28, 48), 3.0, 3.0,
                           rock_top(43, rock, (44, 50, 74))),
        wall_b=liquid_style((30, 50, 90), (240, 248, 255), (60, 110, 190), (24, 50, 120), (200, 240, 255), 5.0,
                            wave_sparkle(44)),
        obstacles=[ice_block(), snowman(), crystal("#8fd8ff"), boulder("#8090a8", (36, 40, 60)),
                   tree("#2e6a5a", (16, 40, 40)), crystal("#d59cff"), ice_block(), snowman()],
    )


def theme_autumn():
    leaves = [common.hex_rgb(c) for c in ("#8a6a2a", "#9c7a30", "#ae8a3a", "#c29a44")]
    path = [common.hex_rgb(c) for c in ("#6e5a48", "#7c6854", "#8a7660", "#98846c")]
    canopy = [common.hex_rgb(c) for c in ("#7a2a14", "#9a3a18", "#b8561c", "#d27424", "#e8a040")]
    return dict(
        ground=(noise_level(51, 0.9, 0.4), leaves,
                [flower((230, 90, 40)), dot((200, 60, 30)), pebble((190, 180, 160), (110, 100, 90)),
                 tuft((170, 150, 60), (110, 90, 40)), dot((240, 190, 70))]),
        floor=(noise_level(52, 0.7, 0.5), path,
               [pebble((200, 190, 170), (110, 96, 84)), dot((230, 130, 50)), crack((80, 64, 52))]),
        wall_a=solid_style(None, (220, 130, 60), (90, 34, 20), (50, 20, 14), 4.5, 2.8, leafy_top(53, canopy)),
        wall_b=liquid_style((40, 50, 60), (150, 130, 90), (70, 120, 150), (30, 64, 100), (220, 240, 250), 5.0,
                            wave_sparkle(54)),
        obstacles=[tree("#c0541c", (60, 24, 14)), stump("#6a4428", "#d0a060"), mushroom(),
                   bush("#b8642a", (70, 30, 16), (120, 20, 40)), boulder("#8c8478", (44, 40, 40)),
                   tree("#d8a02c", (80, 56, 14)), fence_post(), bush("#8a4a20", (56, 24, 12))],
    )


def theme_cave():
    stone = [common.hex_rgb(c) for c in ("#3a3430", "#443c36", "#4e463e", "#5a5046")]
    moss = [common.hex_rgb(c) for c in ("#2e4a34", "#365640", "#40624a", "#4c7054")]
    rock = [common.hex_rgb(c) for c in ("#2a2630", "#36303c", "#423a48", "#504656", "#5e5464")]
    return dict(
        ground=(noise_level(61, 0.7, 0.45), stone,
                [pebble((130, 120, 110), (60, 54, 50)), crack((30, 26, 24)), dot((170, 150, 90)),
                 dot((120, 200, 220))]),
        floor=(noise_level(62, 0.8, 0.4), moss,
               [tuft((110, 180, 110), (40, 80, 50)), dot((160, 230, 150)), pebble((120, 130, 110), (50, 60, 50))]),
        wall_a=solid_style(None, (120, 110, 130), (24, 20, 30), (12, 10, 16), 3.0, 3.0,
                           rock_top(63, rock, (20, 18, 24))),
        wall_b=liquid_style((10, 20, 30), (70, 80, 90), (30, 120, 140), (10, 40, 70), (150, 255, 240), 5.0,
                            wave_sparkle(64)),
        obstacles=[crystal("#6ae0ff"), boulder("#5a5060", (20, 18, 26)), mushroom(), crystal("#b080ff"),
                   skull(), barrel(), boulder("#6a6050", (26, 22, 18)), urn()],
    )


THEMES = {"meadow": theme_meadow, "castle": theme_castle, "desert": theme_desert, "ice": theme_ice,
          "autumn": theme_autumn, "cave": theme_cave}


def place(sheet, tile, img):
    x, y = (tile % 16) * 16, (tile // 16) * 16
    sheet[y:y + 16, x:x + 16] = img


def build(theme_name):
    theme = THEMES[theme_name]()
    sheet = np.zeros((256, 256, 4), dtype=np.uint8)
    for kind, make in enumerate(items.APPLES):
        place(sheet, kind, make())
    seed = sum(map(ord, theme_name))
    for base, detail, key in ((L.GROUND, L.GROUND_DETAIL, "ground"), (L.FLOOR, L.FLOOR_DETAIL, "floor")):
        level_fn, colours, painters = theme[key]
        for i in range(8):
            place(sheet, base + i, ground_tile(level_fn, colours, seed + i * 13, vary=i > 0))
        for i in range(8):
            img = ground_tile(level_fn, colours, seed + 500 + i * 17, vary=True)
            rnd = random.Random(seed * 31 + i + (0 if key == "ground" else 1000))
            painter = painters[i % len(painters)]
            scatter(img, rnd, 2 + i % 3, painter)
            place(sheet, detail + i, img)
    for base, key in ((L.WALL_A, "wall_a"), (L.WALL_B, "wall_b")):
        for i, mask in enumerate(L.BLOB_MASKS):
            place(sheet, base + i, wall_tile(mask, theme[key]))
    for i, make in enumerate(theme["obstacles"][:8]):
        place(sheet, L.OBSTACLES + i, make())
    place(sheet, L.NONE_MARK, items.none_mark())
    return Image.fromarray(sheet, "RGBA")


def main():
    for name in THEMES:
        common.save_png(build(name), "graphics", "tilesets", name + ".png")


if __name__ == "__main__":
    main()
