"""Builds the worm skin sheets: 20 tiles of 16 x 16 (head, body, two bends, tail per direction of travel).

Every tile is drawn from one centre line, so bodies, bends and tails share the same tube profile at the
cell edges and join without seams. Pixels are sampled at their centres and kept crisp.
"""
import math

import numpy as np
from PIL import Image

import common

# Sides of a cell as unit vectors (x right, y down) and the middle of each side.
SIDE_VEC = {"L": (-1, 0), "R": (1, 0), "T": (0, -1), "B": (0, 1)}
SIDE_MID = {"L": (0.0, 8.0), "R": (16.0, 8.0), "T": (8.0, 0.0), "B": (8.0, 16.0)}
MOVE_SIDE = {"left": "L", "right": "R", "up": "T", "down": "B"}
OPPOSITE = {"L": "R", "R": "L", "T": "B", "B": "T"}

# Tile table of the worm: (kind, direction of travel, direction before the turn for bends).
TILES = []
for move in ("left", "right", "up", "down"):
    turns = {"left": ("down", "up"), "right": ("down", "up"), "up": ("right", "left"),
             "down": ("right", "left")}[move]
    TILES.append(("head", move, None))
    TILES.append(("body", move, move))
    TILES.append(("body", move, turns[0]))
    TILES.append(("body", move, turns[1]))
    TILES.append(("tail", move, None))
assert len(TILES) == 20

RADIUS = 6.0            # tube half width in pixels, outline included
HEAD_RADIUS = 7.0
LIGHT = np.array([-0.45, -0.65, 0.9])
LIGHT = LIGHT / np.linalg.norm(LIGHT)


def ramp(base, shadow=(34, 16, 62), light=(255, 246, 196)):
    base = common.hex_rgb(base) if isinstance(base, str) else base
    return [common.mix(base, shadow, 0.62), common.mix(base, shadow, 0.32), base,
            common.mix(base, light, 0.38), common.mix(base, light, 0.72)]


# Each skin: main colours, accent colours, outline and a pattern name with its parameters.
SKINS = {
    "tarvo": dict(main="#4cbb3a", accent="#d7ec5a", pattern="bands", count=2, width=0.22, eye="#ffffff"),
    "king": dict(main="#7a3fc4", accent="#f2c233", pattern="bands", count=2, width=0.14, crown=True,
                 eye="#ffffff"),
    "buffy": dict(main="#e7868a", accent="#b8505e", pattern="rings", count=4, width=0.16, eye="#ffffff"),
    "ember": dict(main="#e2491f", accent="#ffd23a", pattern="stripe", width=1.6, eye="#fff4d8"),
    "frost": dict(main="#7fd3ee", accent="#f4fcff", pattern="diamonds", count=2, eye="#ffffff"),
    "bumble": dict(main="#f7c51e", accent="#3b2a1c", pattern="bands", count=2, width=0.42, eye="#ffffff"),
    "toxic": dict(main="#9ee033", accent="#8d3bb0", pattern="spots", count=2, eye="#ffffff"),
    "shadow": dict(main="#3c4660", accent="#5ff2e6", pattern="dots", count=2, eye="#ff6b5e"),
}


def tile_geometry(kind, move, before):
    """Returns a function mapping pixel centres to (sdf, u, t, normal) for one tile.

    u runs along the worm from the tail side (0) to the head side (1); t is the offset to the right of the
    direction of travel; normal is the 2D direction away from the centre line.
    """
    exit_side = MOVE_SIDE[move]
    if kind == "tail":
        entry_side = None
    elif kind == "head":
        entry_side = OPPOSITE[exit_side]
    else:
        entry_side = OPPOSITE[MOVE_SIDE[before]]
    return entry_side, exit_side


def sample_tile(kind, move, before, skin):
    entry, exit_ = tile_geometry(kind, move, before)
    size = 16
    img = np.zeros((size, size, 4), dtype=np.uint8)
    main = ramp(skin["main"])
    accent = ramp(skin["accent"])
    outline = common.mix(common.hex_rgb(skin["main"]), (12, 6, 24), 0.78)
    dvec = np.array(SIDE_VEC[MOVE_SIDE[move]], dtype=float)
    right = np.array([-dvec[1], dvec[0]])  # right of travel in a y-down frame
    for py in range(size):
        for px in range(size):
            p = np.array([px + 0.5, py + 0.5])
            shapes = []
            if kind == "body" and entry != OPPOSITE[exit_]:
                # Quarter circle round the corner the two sides share.
                a, b = SIDE_VEC[entry], SIDE_VEC[exit_]
                corner = np.array([8 + 8 * (a[0] + b[0]), 8 + 8 * (a[1] + b[1])])
                v = p - corner
                dist = np.linalg.norm(v)
                start = np.array(SIDE_MID[entry]) - corner
                end = np.array(SIDE_MID[exit_]) - corner
                ang = math.atan2(v[1], v[0])
                a0 = math.atan2(start[1], start[0])
                a1 = math.atan2(end[1], end[0])
                sweep = (a1 - a0 + math.pi) % (2 * math.pi) - math.pi
                rel = (ang - a0 + math.pi) % (2 * math.pi) - math.pi
                u = min(max(rel / sweep, 0.0), 1.0)
                radial = v / dist if dist > 0 else np.array([0.0, 0.0])
                # t is positive to the right of travel: compare the radial with the travel's right side.
                tang = np.array([-math.sin(ang), math.cos(ang)]) * (1 if sweep > 0 else -1)
                rside = np.array([-tang[1], tang[0]])
                t = (dist - 8.0) * (1 if np.dot(radial, rside) > 0 else -1)
                shapes.append((abs(dist - 8.0) - RADIUS, u, t, radial * np.sign(dist - 8.0 + 1e-9), RADIUS))
            else:
                if kind == "body":
                    a, b = np.array(SIDE_MID[entry]), np.array(SIDE_MID[exit_])
                    taper = None
                elif kind == "head":
                    a, b = np.array(SIDE_MID[entry]), np.array([8.0, 8.0])
                    taper = None
                else:
                    b = np.array(SIDE_MID[exit_])
                    a = b - dvec * 12.5
                    taper = True
                ab = b - a
                ll = float(np.dot(ab, ab))
                s = min(max(float(np.dot(p - a, ab)) / ll, 0.0), 1.0)
                q = a + ab * s
                off = p - q
                t = float(np.dot(off, right))
                d = float(np.linalg.norm(off))
                r = RADIUS
                if taper:
                    r = RADIUS * (0.38 + 0.62 * math.sin(min(s, 1.0) * math.pi / 2) ** 0.8)
                u = s if kind != "head" else s * 0.5
                n = off / d if d > 0 else np.array([0.0, 0.0])
                shapes.append((d - r, u, t, n, r))
                if kind == "head":
                    c = np.array([8.0, 8.0]) + dvec * 0.5
                    v = p - c
                    d2 = float(np.linalg.norm(v))
                    n2 = v / d2 if d2 > 0 else np.array([0.0, 0.0])
                    shapes.append((d2 - HEAD_RADIUS, 0.5 + 0.5 * max(0.0, float(np.dot(v, dvec))) / HEAD_RADIUS,
                                   float(np.dot(v, right)), n2, HEAD_RADIUS))
            sdf, u, t, n, r = min(shapes, key=lambda s_: s_[0])
            if sdf > 0:
                continue
            if sdf > -1.0:
                img[py, px] = outline + (255,)
                continue
            depth = min(1.0, (-sdf) / (r - 0.5))
            nz = math.sqrt(max(0.0, 1.0 - (1.0 - depth) ** 2))
            nrm = np.array([n[0] * (1 - depth), n[1] * (1 - depth), nz])
            nrm = nrm / np.linalg.norm(nrm)
            light = 0.25 + 0.85 * max(0.0, float(np.dot(nrm, LIGHT)))
            level = int(min(4, max(0, round(light * 3.4 - 0.4))))
            colours = accent if in_pattern(skin, kind, u, t, r) else main
            img[py, px] = colours[level] + (255,)
    if kind == "head":
        draw_face(img, move, skin)
    return img


def in_pattern(skin, kind, u, t, r):
    pattern = skin["pattern"]
    if kind == "head" and (u > 0.5 or skin.get("crown")):
        return False
    if pattern in ("bands", "rings"):
        k = skin["count"]
        return ((u * k) % 1.0) < skin["width"]
    if pattern == "stripe":
        return abs(t) < skin["width"]
    if pattern == "diamonds":
        k = skin["count"]
        f = (u * k) % 1.0
        return abs(f - 0.5) * 7.0 + abs(t) < 2.4
    if pattern == "spots":
        k = skin["count"]
        f = (u * k) % 1.0
        side = 1 if int(u * k) % 2 == 0 else -1
        return math.hypot((f - 0.5) * 7.0, t - side * 2.6) < 1.7
    if pattern == "dots":
        k = skin["count"]
        f = (u * k) % 1.0
        return math.hypot((f - 0.5) * 6.0, t) < 1.2
    return False


def draw_face(img, move, skin):
    dvec = np.array(SIDE_VEC[MOVE_SIDE[move]], dtype=float)
    right = np.array([-dvec[1], dvec[0]])
    centre = np.array([8.0, 8.0]) + dvec * 0.5
    white = common.hex_rgb(skin["eye"])
    pupil = (26, 18, 40)
    outline = common.mix(common.hex_rgb(skin["main"]), (12, 6, 24), 0.78)

    def pixels():
        for py in range(16):
            for px in range(16):
                v = np.array([px + 0.5, py + 0.5]) - centre
                # Only inside the head, so eyes and crown never poke through its outline.
                if np.linalg.norm(v) < HEAD_RADIUS - 0.9:
                    yield px, py, float(np.dot(v, dvec)), float(np.dot(v, right))

    if skin.get("crown"):
        gold = ramp("#f2c233")
        rim = common.mix(common.hex_rgb("#f2c233"), (60, 20, 10), 0.6)
        for px, py, along, across in pixels():
            if abs(across) > 4.6 or along > 0.2 or along < -5.2:
                continue
            band = -5.2 <= along <= -3.2
            tooth = along > -3.2 and min(abs(across), abs(abs(across) - 3.4)) < 0.9 - 0.35 * (along + 3.2)
            if band or tooth:
                edge = along < -4.9 or abs(across) > 4.3
                img[py, px] = (rim if edge else gold[3 if along > -4.0 else 2]) + (255,)
            if abs(across) < 0.7 and -4.6 < along < -3.6:
                img[py, px] = (232, 44, 76, 255)
    for px, py, along, across in pixels():
        for side in (-1, 1):
            de = math.hypot(along - 2.0, across - side * 3.0)
            if de < 2.9:
                img[py, px] = outline + (255,)
    for px, py, along, across in pixels():
        for side in (-1, 1):
            de = math.hypot(along - 2.0, across - side * 3.0)
            if de < 2.2:
                img[py, px] = white + (255,)
            if math.hypot(along - 3.0, across - side * 3.0) < 1.15:
                img[py, px] = pupil + (255,)


def build_skin(skin):
    sheet = np.zeros((64, 256, 4), dtype=np.uint8)
    for i, (kind, move, before) in enumerate(TILES):
        tile = sample_tile(kind, move, before, skin)
        x, y = (i % 16) * 16, (i // 16) * 16
        sheet[y:y + 16, x:x + 16] = tile
    return Image.fromarray(sheet, "RGBA")


def main():
    for name, skin in SKINS.items():
        common.save_png(build_skin(skin), "graphics", "skins", name + ".png")


if __name__ == "__main__":
    main()
