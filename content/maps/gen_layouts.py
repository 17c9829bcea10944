"""Draws the ASCII layouts NN-name.txt of this folder from the recipes below; gen_maps.py then turns them
into maps/*.map. Run: /usr/bin/python3 gen_layouts.py   (then gen_maps.py)

A recipe paints a Grid with a few shapes (rectangles, ellipses, mazes, caves, scattered obstacles), then
places the start points. Placing a start point clears the cells below it that a worm runs through in its
first seconds and a small clearing round it, so every start is fair whatever was painted there; cells that no start can reach become
wall. The same seed gives the same layout on every run.
"""
import math
import os
import random
import sys
from collections import deque

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import gen_maps  # noqa: E402

OPEN = set(".,:;123456789")
RUN = gen_maps.fastest_run()
CLEARING = 3


class Grid:
    def __init__(self, width, height, ground="."):
        self.w, self.h = width, height
        self.rows = [[ground] * width for _ in range(height)]
        self.frame(0, 0, width - 1, height - 1, "#")
        self.starts = {}

    def get(self, x, y):
        return self.rows[y][x] if 0 <= x < self.w and 0 <= y < self.h else "#"

    def set(self, x, y, c):
        if 0 < x < self.w - 1 and 0 < y < self.h - 1:
            self.rows[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            for y in (y0, y1):
                if 0 <= x < self.w and 0 <= y < self.h:
                    self.rows[y][x] = c
        for y in range(y0, y1 + 1):
            for x in (x0, x1):
                if 0 <= x < self.w and 0 <= y < self.h:
                    self.rows[y][x] = c

    def ellipse(self, cx, cy, rx, ry, c, rim=None):
        for y in range(int(cy - ry - 2), int(cy + ry + 3)):
            for x in range(int(cx - rx - 2), int(cx + rx + 3)):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                if d <= 1.0:
                    self.set(x, y, c)
                elif rim and d <= 1.0 + 2.2 / min(rx, ry) and self.get(x, y) == ".":
                    self.set(x, y, rim)

    def scatter(self, c, count, rnd, x0=1, y0=1, x1=None, y1=None, on="."):
        x1 = self.w - 2 if x1 is None else x1
        y1 = self.h - 2 if y1 is None else y1
        for _ in range(count):
            x, y = rnd.randint(x0, x1), rnd.randint(y0, y1)
            # Never two obstacles side by side, so no pocket closes by chance.
            if self.get(x, y) == on and all(self.get(x + dx, y + dy) in OPEN for dx in (-1, 0, 1)
                                            for dy in (-1, 0, 1) if dx or dy):
                self.set(x, y, c)

    def maze(self, x0, y0, cols, rows, cell, rnd, c="#", loops=0.1, ground="."):
        """A maze of passages cell wide between walls one cell thick, in the box from (x0, y0)."""
        step = cell + 1
        self.fill(x0, y0, x0 + cols * step, y0 + rows * step, c)
        seen = {(0, 0)}
        stack = [(0, 0)]

        def carve(cx, cy, dx, dy):
            px, py = x0 + 1 + cx * step, y0 + 1 + cy * step
            self.fill(px, py, px + cell - 1, py + cell - 1, ground)
            if dx or dy:
                if dx:
                    wx = px + (cell if dx > 0 else -1)
                    self.fill(wx, py, wx, py + cell - 1, ground)
                else:
                    wy = py + (cell if dy > 0 else -1)
                    self.fill(px, wy, px + cell - 1, wy, ground)

        carve(0, 0, 0, 0)
        while stack:
            cx, cy = stack[-1]
            options = [(dx, dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
                       if 0 <= cx + dx < cols and 0 <= cy + dy < rows and (cx + dx, cy + dy) not in seen]
            if not options:
                stack.pop()
                continue
            dx, dy = rnd.choice(options)
            carve(cx, cy, dx, dy)
            seen.add((cx + dx, cy + dy))
            carve(cx + dx, cy + dy, 0, 0)
            stack.append((cx + dx, cy + dy))
        # A few extra openings, so that a worm is seldom trapped in a dead end.
        for cy in range(rows):
            for cx in range(cols):
                for dx, dy in ((1, 0), (0, 1)):
                    if cx + dx < cols and cy + dy < rows and rnd.random() < loops:
                        carve(cx, cy, dx, dy)

    def caves(self, rnd, x0, y0, x1, y1, density=0.45, steps=4, c="#"):
        cells = {(x, y): rnd.random() < density for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)}
        for _ in range(steps):
            nxt = {}
            for (x, y), wall in cells.items():
                n = sum(cells.get((x + dx, y + dy), True) for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                        if dx or dy)
                nxt[(x, y)] = n >= 5 or (wall and n >= 4)
            cells = nxt
        for (x, y), wall in cells.items():
            if wall:
                self.set(x, y, c)

    def start(self, number, x, y, ground="."):
        """Start point number at (x, y); the cells a worm runs through below it become ground."""
        assert y + RUN < self.h - 1, "start point %d too low" % number
        for step in range(0, RUN + 1):
            if self.get(x, y + step) not in OPEN:
                self.rows[y + step][x] = ground
        # A clearing round the start: a computer worm that turns at once has room for its first steps.
        for cy in range(y - CLEARING, y + CLEARING + 1):
            for cx in range(x - CLEARING, x + CLEARING + 1):
                if self.get(cx, cy) not in OPEN:
                    self.set(cx, cy, ground)
        self.rows[y][x] = str(number)
        self.starts[number] = (x, y)

    def seal(self, c="#"):
        """Cells that start point 1 cannot reach become wall: apples may appear on any open cell."""
        origin = self.starts[1]
        seen = {origin}
        queue = deque([origin])
        while queue:
            x, y = queue.popleft()
            for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if (nx, ny) not in seen and self.get(nx, ny) in OPEN:
                    seen.add((nx, ny))
                    queue.append((nx, ny))
        for y in range(self.h):
            for x in range(self.w):
                if self.rows[y][x] in OPEN and (x, y) not in seen:
                    self.rows[y][x] = c

    def mirror_x(self):
        for y in range(self.h):
            for x in range(self.w // 2):
                self.rows[y][self.w - 1 - x] = self.rows[y][x]

    def text(self, title, tileset, seed, obstacles=None):
        lines = ["title: " + title, "tileset: " + tileset, "seed: %d" % seed]
        if obstacles:
            lines.append("obstacles: " + obstacles)
        lines.append("---")
        lines.extend("".join(row) for row in self.rows)
        return "\n".join(lines) + "\n"


def starts(g, points):
    for number, (x, y) in enumerate(points, 1):
        g.start(number, x, y)
    g.seal()


# --- the maps ----------------------------------------------------------------------------------------

def meadow(rnd):
    g = Grid(30, 30)
    g.ellipse(15, 16, 4.5, 3.5, "~", rim=":")
    for x0, x1 in ((3, 5), (24, 26)):
        g.fill(x0, 9, x1, 9, "#")
        g.fill(x0, 23, x1, 23, "#")
    g.fill(3, 10, 3, 11, "#")
    g.fill(26, 10, 26, 11, "#")
    g.scatter("o", 10, rnd)
    g.scatter(",", 25, rnd)
    starts(g, [(7, 3), (22, 3), (7, 15), (22, 15)])
    return g


def courtyard(rnd):
    g = Grid(32, 32)
    g.frame(4, 4, 27, 27, ":")
    g.frame(5, 5, 26, 26, ":")
    g.fill(13, 14, 18, 19, "#")
    g.fill(14, 15, 17, 18, "~")
    g.fill(15, 14, 16, 14, ".")
    for x in (9, 22):
        for y in (9, 22):
            g.set(x, y, "A")
    starts(g, [(6, 2), (25, 2), (11, 12), (20, 12)])
    return g


def oasis(rnd):
    g = Grid(34, 34)
    g.ellipse(17, 23, 4.5, 3.2, "~", rim=":")
    for x, y in ((12, 20), (22, 20), (12, 26), (22, 26)):
        g.set(x, y, "E")
    g.fill(3, 12, 5, 14, "#")
    g.fill(28, 12, 30, 14, "#")
    g.fill(15, 8, 18, 9, "#")
    g.scatter("o", 18, rnd)
    starts(g, [(4, 2), (29, 2), (11, 11), (8, 17), (25, 16), (17, 2)])
    return g


def ice_rink(rnd):
    g = Grid(36, 30, ground=":")
    for cx, cy in ((9, 9), (26, 9), (9, 22), (26, 22)):
        g.ellipse(cx, cy, 2.6, 2.2, "~")
    g.fill(17, 13, 18, 16, "#")
    g.scatter("o", 8, rnd, on=":")
    g.scatter(";", 30, rnd, on=":")
    for number, (x, y) in enumerate([(4, 3), (31, 3), (14, 6), (21, 6)], 1):
        g.start(number, x, y, ground=":")
    g.seal()
    return g


def hedge_maze(rnd):
    g = Grid(41, 34)
    g.maze(1, 1, 13, 10, 2, rnd, loops=0.12)
    g.fill(1, 31, 39, 32, ".")
    starts(g, [(5, 2), (35, 2), (20, 8), (14, 17)])
    return g


def face_off(rnd):
    g = Grid(30, 30)
    g.fill(6, 18, 9, 19, "~")
    g.fill(3, 24, 12, 24, "#")
    g.ellipse(14.5, 14.5, 2.2, 2.2, "~", rim=":")
    g.set(4, 8, "A")
    g.set(11, 12, "A")
    g.mirror_x()
    starts(g, [(7, 3), (22, 3)])
    return g


def canyon(rnd):
    g = Grid(64, 36)
    for x in range(1, 63):
        mid = 18 + int(5 * math.sin(x / 6.0))
        g.fill(x, mid - 3, x, mid + 3, ":")
    g.fill(8, 3, 20, 8, "#")
    g.fill(30, 2, 40, 7, "#")
    g.fill(48, 4, 58, 8, "#")
    g.fill(10, 27, 24, 32, "#")
    g.fill(36, 28, 52, 33, "#")
    g.scatter("o", 30, rnd)
    starts(g, [(4, 2), (59, 2), (25, 3), (44, 2), (28, 14), (6, 18)])
    return g


def ice_caves(rnd):
    g = Grid(44, 44)
    g.caves(rnd, 1, 1, 42, 42, density=0.42, steps=5)
    g.ellipse(30, 31, 3.5, 2.5, "~")
    g.ellipse(12, 33, 2.5, 2, "~")
    starts(g, [(8, 3), (35, 3), (21, 10), (8, 20), (35, 20)])
    return g


def crossroads(rnd):
    g = Grid(40, 40)
    g.fill(1, 18, 38, 21, ":")
    g.fill(18, 1, 21, 38, ":")
    for x0, y0 in ((3, 3), (24, 3), (3, 24), (24, 24)):
        g.frame(x0, y0, x0 + 12, y0 + 12, "#")
        g.fill(x0 + 5, y0, x0 + 7, y0, ".")
        g.fill(x0 + 5, y0 + 12, x0 + 7, y0 + 12, ".")
        g.fill(x0, y0 + 5, x0, y0 + 7, ".")
        g.fill(x0 + 12, y0 + 5, x0 + 12, y0 + 7, ".")
        g.set(x0 + 3, y0 + 9, "o")
    starts(g, [(6, 1), (33, 1), (19, 2), (9, 10), (30, 10), (9, 22), (30, 22), (20, 25)])
    return g


def dungeon(rnd):
    g = Grid(50, 38, ground="#")
    rooms = [(2, 2, 12, 14), (16, 2, 32, 10), (36, 2, 47, 14), (2, 20, 14, 35), (18, 14, 32, 24),
             (36, 20, 47, 35), (18, 28, 32, 35)]
    for x0, y0, x1, y1 in rooms:
        g.fill(x0, y0, x1, y1, ":")
    for x0, y0, x1, y1 in ((12, 6, 16, 7), (32, 6, 36, 7), (6, 14, 7, 20), (41, 14, 42, 20),
                           (24, 10, 25, 14), (24, 24, 25, 28), (14, 30, 18, 31), (32, 30, 36, 31),
                           (14, 18, 18, 19), (32, 18, 36, 19)):
        g.fill(x0, y0, x1, y1, ".")
    for x, y in ((25, 18), (21, 32), (29, 32)):
        g.set(x, y, "A")
    for number, (x, y) in enumerate([(5, 3), (44, 3), (24, 3), (9, 21), (40, 21), (20, 15)], 1):
        g.start(number, x, y, ground=":")
    g.seal()
    return g


def dune_sea(rnd):
    g = Grid(64, 48)
    for i, (x0, y0) in enumerate(((6, 30), (20, 36), (38, 28), (48, 38))):
        for k in range(10):
            g.set(x0 + k, y0 - k // 2, "#")
            g.set(x0 + k, y0 - k // 2 + 1, "#")
    g.fill(26, 14, 36, 20, "#")
    g.ellipse(12, 14, 3.5, 2.5, "~", rim=":")
    g.ellipse(52, 18, 3.5, 2.5, "~", rim=":")
    g.scatter("o", 45, rnd)
    starts(g, [(5, 2), (58, 2), (31, 2), (20, 20), (44, 22), (31, 30)])
    return g


def glacier(rnd):
    g = Grid(56, 46, ground=":")
    for y in (17, 32):
        g.fill(1, y, 54, y + 2, "~")
        for x in (8, 27, 46):
            g.fill(x, y, x + 2, y + 2, ":")
    g.scatter("o", 25, rnd, on=":")
    g.scatter(".", 60, rnd, on=":")
    pts = [(4, 2), (51, 2), (27, 2), (15, 4), (39, 4), (9, 21), (46, 21), (27, 21)]
    for number, (x, y) in enumerate(pts, 1):
        g.start(number, x, y, ground=":")
    g.seal()
    return g


def maple_wood(rnd):
    g = Grid(36, 36)
    for y in range(1, 35):
        x = 17 + int(3 * math.sin(y / 4.0))
        g.fill(x, y, x + 1, y, "~")
    for y in (9, 26):
        x = 17 + int(3 * math.sin(y / 4.0))
        g.fill(x - 1, y - 1, x + 2, y + 1, ":")
    g.scatter("o", 40, rnd)
    g.scatter(",", 40, rnd)
    starts(g, [(5, 2), (30, 2), (5, 18), (30, 18)])
    return g


def cavern(rnd):
    g = Grid(40, 40)
    g.caves(rnd, 1, 1, 38, 38, density=0.4, steps=5)
    g.ellipse(20, 30, 4, 2.5, "~")
    g.scatter("o", 10, rnd)
    starts(g, [(6, 2), (33, 2), (20, 8), (10, 20), (30, 20)])
    return g


def salt_flats(rnd):
    g = Grid(30, 30, ground=":")
    g.scatter("o", 14, rnd, on=":")
    g.scatter(";", 40, rnd, on=":")
    g.fill(13, 20, 16, 21, "#")
    for number, (x, y) in enumerate([(4, 2), (25, 2), (14, 4), (9, 15), (20, 15)], 1):
        g.start(number, x, y, ground=":")
    g.seal()
    return g


def ice_bridge(rnd):
    g = Grid(48, 34)
    g.fill(1, 15, 46, 19, "~")
    for x in (6, 22, 38):
        g.fill(x, 15, x + 3, 19, ":")
    g.fill(10, 6, 14, 7, "#")
    g.fill(33, 6, 37, 7, "#")
    g.fill(10, 27, 14, 28, "#")
    g.fill(33, 27, 37, 28, "#")
    g.scatter("o", 20, rnd)
    starts(g, [(4, 2), (43, 2), (24, 2), (16, 20), (31, 20), (4, 20)])
    return g


def catacombs(rnd):
    g = Grid(45, 45)
    g.maze(1, 1, 11, 11, 3, rnd, loops=0.15)
    for x, y in ((10, 10), (34, 10), (10, 34), (34, 34), (22, 22)):
        g.set(x, y, "F")
    starts(g, [(3, 2), (41, 2), (22, 6), (6, 22), (38, 22), (22, 30)])
    return g


def orchard(rnd):
    g = Grid(44, 36)
    for y in range(5, 31, 5):
        for x in range(4, 40):
            if x % 9 not in (0, 1):
                g.set(x, y, "o" if rnd.random() < 0.3 else "#")
    g.fill(1, 17, 42, 17, ":")
    starts(g, [(3, 1), (40, 1), (21, 1), (12, 11), (30, 11), (21, 21)])
    return g


def mines(rnd):
    g = Grid(64, 40, ground="#")
    for y0 in (3, 17, 31):
        g.fill(1, y0, 62, y0 + 2, ":")
    for x0 in (3, 20, 38, 58):
        g.fill(x0, 1, x0 + 2, 38, ":")
    for cx, cy in ((12, 10), (30, 24), (49, 10), (12, 33), (49, 33)):
        g.fill(cx - 4, cy - 3, cx + 4, cy + 3, ".")
    g.scatter("o", 12, rnd)
    g.scatter("A", 8, rnd, on=":")
    for number, (x, y) in enumerate([(4, 2), (59, 2), (21, 2), (39, 2), (13, 7), (49, 7), (30, 21),
                                     (4, 18)], 1):
        g.start(number, x, y, ground=":")
    g.seal()
    return g


def plains(rnd):
    g = Grid(96, 96)
    # Hedge rows with gaps, ponds with paths round them, and small woods.
    for y in (24, 48, 72):
        for x in range(1, 95):
            if (x // 8) % 3 != 1:
                g.set(x, y, "#")
    for x in (32, 64):
        for y in range(1, 95):
            if (y // 8) % 3 != 2:
                g.set(x, y, "#")
    for cx, cy in ((16, 36), (80, 12), (48, 60), (16, 84), (80, 84)):
        g.ellipse(cx, cy, 5, 3.5, "~", rim=":")
    g.fill(1, 90, 94, 90, ":")
    g.fill(47, 1, 48, 94, ":")
    for x0, y0 in ((55, 28), (8, 54), (70, 52)):
        g.scatter("o", 18, rnd, x0, y0, x0 + 12, y0 + 12)
    g.scatter("o", 90, rnd)
    g.scatter(",", 200, rnd)
    starts(g, [(10, 3), (85, 3), (40, 6), (58, 6), (20, 28), (76, 28), (40, 52), (58, 75)])
    return g


def ruins(rnd):
    g = Grid(100, 100)
    # Broken walls of a city on the sand: rooms of a grid, each with one or two gaps.
    for gy in range(4):
        for gx in range(4):
            x0, y0 = 6 + gx * 24, 6 + gy * 24
            if rnd.random() < 0.2:
                g.ellipse(x0 + 7, y0 + 7, 4, 3, "~", rim=":")
                continue
            g.frame(x0, y0, x0 + 14, y0 + 14, "#")
            g.fill(x0 + 1, y0 + 1, x0 + 13, y0 + 13, ":")
            for side in rnd.sample(range(4), 2):
                mid = 5 + rnd.randrange(5)
                if side == 0:
                    g.fill(x0 + mid, y0, x0 + mid + 2, y0, ":")
                elif side == 1:
                    g.fill(x0 + mid, y0 + 14, x0 + mid + 2, y0 + 14, ":")
                elif side == 2:
                    g.fill(x0, y0 + mid, x0, y0 + mid + 2, ":")
                else:
                    g.fill(x0 + 14, y0 + mid, x0 + 14, y0 + mid + 2, ":")
            g.set(x0 + 7, y0 + 7, "D")
    g.scatter("o", 120, rnd)
    starts(g, [(3, 2), (96, 2), (50, 2), (26, 40), (74, 40), (3, 60), (96, 60), (50, 84)])
    return g


def labyrinth(rnd):
    g = Grid(63, 63)
    g.maze(1, 1, 20, 20, 2, rnd, loops=0.1)
    g.fill(28, 28, 34, 34, ":")
    g.set(31, 31, "B")
    starts(g, [(4, 2), (58, 2), (31, 8), (13, 26), (49, 26), (31, 40)])
    return g


def riverlands(rnd):
    g = Grid(80, 60)
    for x in range(1, 79):
        y = 20 + int(4 * math.sin(x / 7.0))
        g.fill(x, y, x, y + 2, "~")
        y = 42 + int(3 * math.cos(x / 9.0))
        g.fill(x, y, x, y + 2, "~")
    for x in range(1, 79):
        if x % 16 in (4, 5, 6):
            for y in range(13, 50):
                if g.get(x, y) == "~":
                    g.set(x, y, ":")
    g.scatter("o", 70, rnd)
    g.scatter(",", 80, rnd)
    starts(g, [(8, 2), (71, 2), (40, 2), (24, 4), (56, 4), (14, 28), (66, 28), (40, 28)])
    return g


def frozen_sea(rnd):
    g = Grid(72, 72, ground=":")
    for _ in range(26):
        cx, cy = rnd.randint(6, 65), rnd.randint(6, 65)
        g.ellipse(cx, cy, rnd.uniform(1.5, 4), rnd.uniform(1.5, 3), "~")
    g.scatter("o", 40, rnd, on=":")
    g.scatter(".", 120, rnd, on=":")
    pts = [(5, 2), (66, 2), (36, 2), (20, 20), (52, 20), (5, 40), (66, 40), (36, 44)]
    for number, (x, y) in enumerate(pts, 1):
        g.start(number, x, y, ground=":")
    g.seal()
    return g


def keep(rnd):
    g = Grid(34, 34)
    g.frame(6, 6, 27, 27, "#")
    g.frame(11, 11, 22, 22, "~")
    g.fill(16, 6, 17, 6, ":")
    g.fill(16, 27, 17, 27, ":")
    g.fill(6, 16, 6, 17, ":")
    g.fill(27, 16, 27, 17, ":")
    g.fill(16, 11, 17, 11, ":")
    g.fill(16, 22, 17, 22, ":")
    for x, y in ((3, 30), (30, 30), (16, 30)):
        g.set(x, y, "D")
    starts(g, [(3, 1), (30, 1), (16, 1), (9, 13), (24, 13)])
    return g


def hollow(rnd):
    g = Grid(34, 34)
    g.frame(5, 8, 28, 29, "#")
    for x0, y0, x1, y1 in ((15, 8, 18, 8), (15, 29, 18, 29), (5, 17, 5, 20), (28, 17, 28, 20)):
        g.fill(x0, y0, x1, y1, ":")
    g.ellipse(16.5, 19, 3.5, 2.5, "~", rim=":")
    g.scatter("o", 16, rnd, 7, 10, 26, 27)
    g.scatter(",", 30, rnd)
    starts(g, [(3, 2), (30, 2), (16, 3), (10, 14), (23, 14)])
    return g


def crystal_hall(rnd):
    g = Grid(40, 32)
    for y in range(8, 28, 6):
        for x in range(6, 36, 7):
            g.set(x, y, "A" if (x + y) % 2 else "D")
    g.fill(1, 29, 38, 30, ":")
    g.caves(rnd, 1, 1, 38, 3, density=0.3, steps=2)
    starts(g, [(4, 2), (35, 2), (20, 4), (12, 14), (27, 14)])
    return g


MAPS = [
    ("01-meadow", "MEADOW", "meadow", 101, meadow, "0 1 2 3 4 6 7"),
    ("02-courtyard", "COURTYARD", "castle", 202, courtyard, None),
    ("03-oasis", "OASIS", "desert", 303, oasis, "0 1 3 5 6"),
    ("04-ice-rink", "ICE RINK", "ice", 404, ice_rink, "0 1 2 5"),
    ("05-hedge-maze", "HEDGE MAZE", "meadow", 505, hedge_maze, None),
    ("06-face-off", "FACE OFF", "castle", 606, face_off, None),
    ("07-canyon", "CANYON", "desert", 707, canyon, "0 1 2 4 6"),
    ("08-ice-caves", "ICE CAVES", "ice", 808, ice_caves, "0 2 3 5"),
    ("09-crossroads", "CROSSROADS", "meadow", 909, crossroads, "0 1 2 4"),
    ("10-dungeon", "DUNGEON", "castle", 1010, dungeon, "1 2 3 5"),
    ("11-dune-sea", "DUNE SEA", "desert", 1111, dune_sea, "0 1 2 3 4 6"),
    ("12-glacier", "GLACIER", "ice", 1212, glacier, "0 1 3 4"),
    ("13-maple-wood", "MAPLE WOOD", "autumn", 1313, maple_wood, "0 1 2 3 5"),
    ("14-cavern", "CAVERN", "cave", 1414, cavern, "0 1 2 3 4"),
    ("15-salt-flats", "SALT FLATS", "desert", 1515, salt_flats, "1 2 3 6"),
    ("16-ice-bridge", "ICE BRIDGE", "ice", 1616, ice_bridge, "0 1 2 3 5"),
    ("17-catacombs", "CATACOMBS", "castle", 1717, catacombs, "0 1 2 5"),
    ("18-orchard", "ORCHARD", "autumn", 1818, orchard, "0 3 5"),
    ("19-mines", "MINES", "cave", 1919, mines, "1 5 6 7"),
    ("20-keep", "THE KEEP", "castle", 2020, keep, None),
    ("21-labyrinth", "LABYRINTH", "cave", 2121, labyrinth, "0 1 3"),
    ("22-riverlands", "RIVERLANDS", "autumn", 2222, riverlands, "0 1 3 4 7"),
    ("23-frozen-sea", "FROZEN SEA", "ice", 2323, frozen_sea, "0 1 2 3"),
    ("24-plains", "PLAINS", "meadow", 2424, plains, "0 1 2 3 4 6 7"),
    ("25-ruins", "RUINS", "desert", 2525, ruins, "0 1 3 5 6"),
    ("26-hollow", "HOLLOW", "autumn", 2626, hollow, "0 1 2 4 7"),
    ("27-crystal-hall", "CRYSTALS", "cave", 2727, crystal_hall, None),
]


def main():
    for stem, title, tileset, seed, recipe, obstacles in MAPS:
        grid = recipe(random.Random(seed))
        with open(os.path.join(HERE, stem + ".txt"), "w", encoding="ascii", newline="\n") as f:
            f.write(grid.text(title, tileset, seed, obstacles))
    print("wrote %d layouts" % len(MAPS))


if __name__ == "__main__":
    main()
