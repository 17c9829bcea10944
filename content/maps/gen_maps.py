"""Turns the ASCII layouts in this folder into the game's maps/*.map files.

Run: /usr/bin/python3 gen_maps.py            (writes every map)
     /usr/bin/python3 gen_maps.py --check    (checks the layouts, writes nothing)

Each layout NN-name.txt becomes maps/NN-name.map. A layout starts with header lines "key: value"
(title, tileset, seed, and optionally obstacles: the tileset's obstacle numbers 0-7 that 'o' picks
from), then a line "---", then the rows of the map, one character per cell:

    #  wall of the first kind (hedge, bricks, sandstone, rock)
    ~  wall of the second kind (water, lava, oasis, frozen water)
    o  an obstacle, picked from the map's set;  A-H  obstacle 0-7 exactly
    .  ground, now and then with a detail;  ,  ground that always has a detail
    :  second ground (path, planks, clay, ice);  ;  second ground that always has a detail
    1-9  start point, on the ground that surrounds it

Walls are joined with wall_tile_at (cells outside the map count as walls, so the border closes without
ends). Ground variants come from the map's seed, so a rebuild writes the same bytes.
"""
import os
import random
import sys
from collections import deque

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))

import tileset_layout as L  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
TILESETS = ("meadow", "castle", "desert", "ice", "autumn", "cave")
WALL_KINDS = {"#": L.WALL_A, "~": L.WALL_B}
GROUND_CHARS = {".": "ground", ",": "ground", ":": "floor", ";": "floor"}
GROUND_TILES = {"ground": (L.GROUND, L.GROUND_DETAIL), "floor": (L.FLOOR, L.FLOOR_DETAIL)}
STARTS = "123456789"
OBSTACLE_LETTERS = "ABCDEFGH"
ALLOWED = set(WALL_KINDS) | set(GROUND_CHARS) | set(STARTS) | set(OBSTACLE_LETTERS) | {"o"}

# Worms start moving down, and none may meet a wall or another worm in its first seconds: at the fastest
# shipped computer player's speed (the game's worm does 3 cells a second, an AI file gives its percent of
# that) the run covers this many cells below the start. tarvo-check holds the exact rule.
FAIR_SECONDS = 3
BASE_SPEED = 3.0
# No computer worm starts this close (either axis) to start points 1 and 2, the people's in a
# two-player game; a one-player game gives 2 to a computer, so 1 and 2 keep that far apart too.
COMPUTER_DISTANCE = 8
HUMAN_STARTS = (1, 2)
MIN_START_POINTS, MAX_START_POINTS = 2, 8
# Every map fills the one-player view (30 x 30 cells); the ground texture takes up to 128 x 128.
MIN_SIDE, MAX_WIDTH, MAX_HEIGHT = 30, 128, 128


def fastest_run():
    speeds = []
    ai_dir = os.path.join(ROOT, "ai")
    for name in sorted(os.listdir(ai_dir)):
        if name.endswith(".ai"):
            with open(os.path.join(ai_dir, name), encoding="ascii") as f:
                speeds.append(int(f.read().split("\n")[3]))
    return int(BASE_SPEED * max([100] + speeds) / 100.0 * FAIR_SECONDS)
# The highscore view shows a title's first ten characters.
TITLE_WIDTH = 10
# What the game's fonts can draw (lower case is drawn in capitals).
TITLE_CHARS = set(" ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,!?-+_#:;$()/\\='<>&")

# How often plain ground shows one of its detail tiles.
DETAIL_CHANCE = {".": 0.12, ",": 1.0, ":": 0.1, ";": 1.0}


class LayoutError(Exception):
    pass


class Layout:
    def __init__(self, path):
        self.path = path
        self.stem = os.path.splitext(os.path.basename(path))[0]
        self.header = {}
        self.rows = []
        self._read()
        self.width = len(self.rows[0])
        self.height = len(self.rows)

    def _read(self):
        with open(self.path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        try:
            split = lines.index("---")
        except ValueError:
            raise self.error("no '---' line between the header and the rows")
        for line in lines[:split]:
            if line.strip() and not line.startswith("#"):
                key, _, value = line.partition(":")
                self.header[key.strip()] = value.strip()
        self.rows = [line for line in lines[split + 1:] if line]
        if not self.rows:
            raise self.error("no rows")

    def error(self, message):
        return LayoutError("%s: %s" % (os.path.basename(self.path), message))

    @property
    def title(self):
        return self.header.get("title", "")

    @property
    def tileset(self):
        return self.header.get("tileset", "")

    def cell(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.rows[y][x]
        return "#"

    def is_open(self, x, y):
        c = self.cell(x, y)
        return c in GROUND_CHARS or c in STARTS

    def start_points(self):
        found = {}
        for y, row in enumerate(self.rows):
            for x, c in enumerate(row):
                if c in STARTS:
                    if c in found:
                        raise self.error("start point %s twice" % c)
                    found[c] = (x, y)
        return {int(k): v for k, v in found.items()}

    def obstacle_set(self):
        numbers = [int(n) for n in self.header.get("obstacles", "0 1 2 3 4 5 6 7").split()]
        if not numbers or any(n < 0 or n > 7 for n in numbers):
            raise self.error("obstacles must be numbers 0 to 7")
        return numbers

    def check(self):
        if not self.title or len(self.title) > TITLE_WIDTH or not set(self.title.upper()) <= TITLE_CHARS:
            raise self.error("the title must be 1 to %d drawable characters" % TITLE_WIDTH)
        if self.tileset not in TILESETS:
            raise self.error("unknown tileset '%s'" % self.tileset)
        if "seed" not in self.header:
            raise self.error("no seed")
        self.obstacle_set()
        for y, row in enumerate(self.rows):
            if len(row) != self.width:
                raise self.error("row %d is %d cells wide, not %d" % (y, len(row), self.width))
            bad = set(row) - ALLOWED
            if bad:
                raise self.error("row %d has unknown cells %s" % (y, "".join(sorted(bad))))
        if not (MIN_SIDE <= self.width <= MAX_WIDTH and MIN_SIDE <= self.height <= MAX_HEIGHT):
            raise self.error("size %dx%d out of range" % (self.width, self.height))
        # A head that left the grid would be off the map; the border keeps every worm inside.
        border = [(x, y) for x in range(self.width) for y in (0, self.height - 1)]
        border += [(x, y) for y in range(self.height) for x in (0, self.width - 1)]
        for x, y in border:
            if self.cell(x, y) not in WALL_KINDS:
                raise self.error("border open at (%d, %d)" % (x, y))
        starts = self.start_points()
        if sorted(starts) != list(range(1, len(starts) + 1)):
            raise self.error("start points must be numbered 1, 2, 3 ... without gaps")
        if not MIN_START_POINTS <= len(starts) <= MAX_START_POINTS:
            raise self.error("%d start points, need %d to %d"
                             % (len(starts), MIN_START_POINTS, MAX_START_POINTS))
        run = fastest_run()
        taken = {}
        for number, (x, y) in sorted(starts.items()):
            for step in range(0, run + 1):
                if step and self.cell(x, y + step) not in GROUND_CHARS:
                    raise self.error("start point %d runs into '%s' after %d steps"
                                     % (number, self.cell(x, y + step), step))
                if (x, y + step) in taken:
                    raise self.error("start points %d and %d meet at (%d, %d)"
                                     % (taken[(x, y + step)], number, x, y + step))
                taken[(x, y + step)] = number
        for human in HUMAN_STARTS:
            hx, hy = starts[human]
            for number, (x, y) in sorted(starts.items()):
                if number != human and max(abs(x - hx), abs(y - hy)) <= COMPUTER_DISTANCE:
                    raise self.error("start point %d is within %d cells of start point %d"
                                     % (number, COMPUTER_DISTANCE, human))
        self._check_connected(starts[1])

    def _check_connected(self, origin):
        # Apples may appear on any open cell, so every one must be reachable.
        seen = {origin}
        queue = deque([origin])
        while queue:
            x, y = queue.popleft()
            for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if (nx, ny) not in seen and self.is_open(nx, ny):
                    seen.add((nx, ny))
                    queue.append((nx, ny))
        for y in range(self.height):
            for x in range(self.width):
                if self.is_open(x, y) and (x, y) not in seen:
                    raise self.error("cell (%d, %d) cannot be reached from start point 1" % (x, y))


def ground_kind(layout, x, y):
    """The ground a cell shows: its own, or for walls, obstacles and start points the nearby majority."""
    c = layout.cell(x, y)
    if c in GROUND_CHARS:
        return c
    counts = {".": 0, ":": 0}
    for dx, dy, _ in L.NEIGHBOURS:
        n = layout.cell(x + dx, y + dy)
        if n in GROUND_CHARS:
            counts["." if GROUND_CHARS[n] == "ground" else ":"] += 1
    return ":" if counts[":"] > counts["."] else "."


def build_layers(layout):
    rnd = random.Random(int(layout.header["seed"]))
    obstacles = layout.obstacle_set()
    ground, walls, starts = [], [], []
    for y in range(layout.height):
        ground_row, wall_row, start_row = [], [], []
        for x in range(layout.width):
            c = layout.cell(x, y)
            kind = ground_kind(layout, x, y)
            plain, detail = GROUND_TILES[GROUND_CHARS[kind]]
            base = detail if rnd.random() < DETAIL_CHANCE[kind] else plain
            ground_row.append(base + rnd.randrange(8))
            if c in WALL_KINDS:
                same_kind = lambda xx, yy, k=c: layout.cell(xx, yy) == k  # noqa: E731
                wall_row.append(L.wall_tile_at(WALL_KINDS[c], same_kind, x, y))
            elif c == "o":
                wall_row.append(L.OBSTACLES + rnd.choice(obstacles))
            elif c in OBSTACLE_LETTERS:
                wall_row.append(L.OBSTACLES + OBSTACLE_LETTERS.index(c))
            else:
                wall_row.append(-1)
            start_row.append(int(c) if c in STARTS else -1)
        ground.append(ground_row)
        walls.append(wall_row)
        starts.append(start_row)
    return [ground, walls, starts]


def map_text(layout):
    """The .map format as the game's MapFile writes it: every row ends in a blank, every layer in an
    empty line."""
    layers = build_layers(layout)
    lines = ["1", layout.title, "graphics/tilesets/%s.png" % layout.tileset,
             "%d %d %d" % (len(layers), layout.width, layout.height), ""]
    for layer in layers:
        lines.extend("".join("%d " % cell for cell in row) for row in layer)
        lines.append("")
    return "\n".join(lines) + "\n"


def layouts():
    names = sorted(n for n in os.listdir(HERE) if n.endswith(".txt"))
    return [Layout(os.path.join(HERE, n)) for n in names]


def main():
    check_only = "--check" in sys.argv[1:]
    try:
        all_layouts = layouts()
        titles = set()
        for layout in all_layouts:
            layout.check()
            if layout.title.upper() in titles:
                raise layout.error("title '%s' is used twice" % layout.title)
            titles.add(layout.title.upper())
    except LayoutError as e:
        sys.exit(str(e))
    if check_only:
        print("%d layouts are fine" % len(all_layouts))
        return
    out_dir = os.path.join(ROOT, "maps")
    os.makedirs(out_dir, exist_ok=True)
    for layout in all_layouts:
        with open(os.path.join(out_dir, layout.stem + ".map"), "w", encoding="ascii", newline="\n") as f:
            f.write(map_text(layout))
    print("wrote %d maps to %s" % (len(all_layouts), out_dir))


if __name__ == "__main__":
    main()
