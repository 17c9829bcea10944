"""Draws docs/tiles/<tileset>.png for the modding guide: each tileset enlarged, with the number a map
uses for every tile written on it. Run: /usr/bin/python3 gen_tile_numbers.py"""
import os

from PIL import Image, ImageDraw, ImageFont

import common
import gen_tilesets

SCALE = 3
TILE = 16


def numbered(name):
    sheet = Image.open(os.path.join(common.ROOT, "graphics", "tilesets", name + ".png")).convert("RGBA")
    side = sheet.width * SCALE
    out = Image.new("RGBA", (side, side), (40, 40, 48, 255))
    # A checker shows where tiles are see-through.
    draw = ImageDraw.Draw(out)
    for y in range(0, side, 12):
        for x in range(0, side, 12):
            if (x // 12 + y // 12) % 2:
                draw.rectangle((x, y, x + 11, y + 11), fill=(56, 56, 66, 255))
    out.alpha_composite(sheet.resize((side, side), Image.NEAREST))
    font = ImageFont.load_default()
    step = TILE * SCALE
    for tile in range(256):
        tx, ty = tile % 16, tile // 16
        box = sheet.crop((tx * TILE, ty * TILE, tx * TILE + TILE, ty * TILE + TILE))
        if box.getextrema()[3][1] == 0:
            continue
        x, y = tx * step, ty * step
        label = str(tile)
        w = draw.textlength(label, font=font)
        draw.rectangle((x, y, x + w + 2, y + 10), fill=(0, 0, 0, 190))
        draw.text((x + 1, y), label, font=font, fill=(255, 255, 255, 255))
    for i in range(17):
        draw.line((i * step, 0, i * step, side), fill=(0, 0, 0, 120))
        draw.line((0, i * step, side, i * step), fill=(0, 0, 0, 120))
    return out.convert("RGB")


def main():
    for name in gen_tilesets.THEMES:
        common.save_png(numbered(name), "docs", "tiles", name + ".png")


if __name__ == "__main__":
    main()
