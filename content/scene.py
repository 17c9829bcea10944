"""Renders small sample maps from a tileset, the way the game's map painter lays tiles."""
import random

from PIL import Image

import tileset_layout as L

# A sample arena: '#' wall A, '~' wall B, 'o' obstacle, '.' ground, ':' floor, digits = apple kinds.
SAMPLE = [
    "##########################",
    "#........................#",
    "#..::::::........~~~.....#",
    "#..:0:::::......~~~~~....#",
    "#..::::::.......~~~~~~...#",
    "#....::::...o....~~~~....#",
    "#.....:::.........~~.....#",
    "#...1..:::...............#",
    "#.......:::.....#####....#",
    "#...o.....:::...#...#....#",
    "#..........:::..#.3.#..o.#",
    "#......2....::::#...#....#",
    "#####........:::##.##....#",
    "#...#..........:::.......#",
    "#.4.#...o.......::::..5..#",
    "#...#..............:::...#",
    "#........................#",
    "##########################",
]


def tile_image(sheet, tile):
    x, y = (tile % 16) * 16, (tile // 16) * 16
    return sheet.crop((x, y, x + 16, y + 16))


def render(sheet, rows=SAMPLE, seed=1):
    rnd = random.Random(seed)
    h, w = len(rows), len(rows[0])
    img = Image.new("RGBA", (w * 16, h * 16), (0, 0, 0, 255))

    def cell(x, y):
        if 0 <= y < h and 0 <= x < w:
            return rows[y][x]
        return "#"

    for y in range(h):
        for x in range(w):
            c = rows[y][x]
            if c == ":":
                base = L.FLOOR_DETAIL if rnd.random() < 0.15 else L.FLOOR
            else:
                base = L.GROUND_DETAIL if rnd.random() < 0.18 else L.GROUND
            img.alpha_composite(tile_image(sheet, base + rnd.randrange(8)), (x * 16, y * 16))
            if c == "#":
                t = L.wall_tile_at(L.WALL_A, lambda xx, yy: cell(xx, yy) == "#", x, y)
            elif c == "~":
                t = L.wall_tile_at(L.WALL_B, lambda xx, yy: cell(xx, yy) == "~", x, y)
            elif c == "o":
                t = L.OBSTACLES + rnd.randrange(8)
            elif c.isdigit():
                t = int(c)
            else:
                continue
            img.alpha_composite(tile_image(sheet, t), (x * 16, y * 16))
    return img
