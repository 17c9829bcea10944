"""Builds the desktop icon: the green worm turning towards an apple on a patch of meadow. It is drawn once
at 32 x 32 from the game's own tiles and enlarged by whole pixels for the bigger sizes, so every size shows
the same crisp pixels."""
from PIL import Image, ImageDraw

import common
import items
import scene
import tileset_layout as L
import wormsim

SIZES = (32, 64, 128, 256)
EDGE = (30, 50, 30, 255)
SHADE = (10, 14, 30, 110)
# Cells of a 2 x 2 board: the tail comes up the left column, bends and looks right, the apple below the head.
WORM = [[1, 0, wormsim.HEAD["right"]], [0, 0, wormsim.TURN["right"][wormsim.HEAD["up"]]],
        [0, 1, wormsim.TAIL[wormsim.HEAD["up"] + 1]]]
APPLE_CELL = (1, 1)


def load(*parts):
    return Image.open(common.out_path(*parts)).convert("RGBA")


def icon():
    tileset = load("graphics", "tilesets", "meadow.png")
    board = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    for i, tile in enumerate((L.GROUND, L.GROUND + 3, L.GROUND_DETAIL + 2, L.GROUND + 5)):
        board.alpha_composite(scene.tile_image(tileset, tile), ((i % 2) * 16, (i // 2) * 16))
    # Darker grass, as behind the menu, lets the green worm stand out.
    board.alpha_composite(Image.new("RGBA", board.size, SHADE))
    wormsim.draw(board, load("graphics", "skins", "tarvo.png"), WORM, 0, 0)
    apple = Image.fromarray(items.APPLES[0](), "RGBA")
    board.alpha_composite(apple, (APPLE_CELL[0] * 16, APPLE_CELL[1] * 16))
    # A rounded patch with a dark rim, so the icon reads on light and dark panels alike.
    mask = Image.new("L", board.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, 31, 31), 6, fill=255)
    out = Image.new("RGBA", board.size, (0, 0, 0, 0))
    out.paste(board, (0, 0), mask)
    ImageDraw.Draw(out).rounded_rectangle((0, 0, 31, 31), 6, outline=EDGE)
    return out


def main():
    small = icon()
    for size in SIZES:
        common.save_png(small.resize((size, size), Image.NEAREST), "dist", "icons", "tarvo-%d.png" % size)


if __name__ == "__main__":
    main()
