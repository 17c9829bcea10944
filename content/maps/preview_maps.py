"""Draws every maps/*.map the way the map painter lays its tiles, start points circled and numbered,
into /tmp/tarvo_maps/ for a look while drawing layouts. Run: /usr/bin/python3 preview_maps.py [names...]"""
import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
OUT = "/tmp/tarvo_maps"
TILE = 16


def read_map(path):
    with open(path, encoding="ascii") as f:
        lines = f.read().split("\n")
    title, tileset = lines[1], lines[2]
    numbers = [int(v) for v in " ".join(lines[3:]).split()]
    count, width, height = numbers[:3]
    cells = numbers[3:]
    layers = [[cells[(l * height + y) * width:(l * height + y + 1) * width] for y in range(height)]
              for l in range(count)]
    return title, tileset, width, height, layers


def render(path):
    title, tileset, width, height, layers = read_map(path)
    sheet = Image.open(os.path.join(ROOT, tileset)).convert("RGBA")
    img = Image.new("RGBA", (width * TILE, height * TILE), (20, 16, 12, 255))
    for layer in layers[:-1]:
        for y, row in enumerate(layer):
            for x, t in enumerate(row):
                if t >= 0:
                    left, top = t % 16 * TILE, t // 16 * TILE
                    tile = sheet.crop((left, top, left + TILE, top + TILE))
                    img.alpha_composite(tile, (x * TILE, y * TILE))
    draw = ImageDraw.Draw(img)
    for y, row in enumerate(layers[-1]):
        for x, v in enumerate(row):
            if v > 0:
                cx, cy = x * TILE + 8, y * TILE + 8
                draw.ellipse((cx - 7, cy - 7, cx + 7, cy + 7), outline=(255, 40, 40, 255), width=2)
                draw.text((cx - 3, cy - 6), str(v), fill=(255, 255, 255, 255))
    return title, img


def main():
    os.makedirs(OUT, exist_ok=True)
    wanted = sys.argv[1:]
    for name in sorted(os.listdir(os.path.join(ROOT, "maps"))):
        if name.endswith(".map") and (not wanted or any(w in name for w in wanted)):
            title, img = render(os.path.join(ROOT, "maps", name))
            img.save(os.path.join(OUT, name.replace(".map", ".png")))
            print("%s  %s  %dx%d" % (name, title, img.width // TILE, img.height // TILE))


if __name__ == "__main__":
    main()
