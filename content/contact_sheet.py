"""Builds docs/content.png: every font, skin, tileset and screen on one page."""
import numpy as np
from PIL import Image, ImageDraw

import common
import gen_screens
import gen_skins
import gen_tilesets
import scene
import wormsim

WIDTH = 1640
BG = (24, 28, 36, 255)


def load(*parts):
    return Image.open(common.out_path(*parts)).convert("RGBA")


def checker(w, h, size=8):
    yy, xx = np.mgrid[0:h, 0:w]
    c = np.where(((xx // size) + (yy // size)) % 2 == 0, 70, 90).astype(np.uint8)
    return Image.fromarray(np.stack([c, c, c + 6, np.full_like(c, 255)], axis=2), "RGBA")


def on_checker(img):
    out = checker(img.width, img.height)
    out.alpha_composite(img)
    return out


class Page:
    def __init__(self):
        self.img = Image.new("RGBA", (WIDTH, 6000), BG)
        self.y = 16
        self.medium = load("graphics", "fonts", "fixed_medium.png")
        self.small = load("graphics", "fonts", "fixed_small.png")

    def heading(self, text):
        self.y += 10
        ImageDraw.Draw(self.img).line((16, self.y + 22, WIDTH - 16, self.y + 22), fill=(70, 90, 70, 255), width=2)
        common.draw_text(self.img, text, self.medium, 16, self.y, (255, 200, 90))
        self.y += 34

    def label(self, text, x, y):
        common.draw_text(self.img, text, self.small, x, y, (200, 210, 220))

    def finish(self):
        return self.img.crop((0, 0, WIDTH, self.y + 16))


def main():
    page = Page()
    img = page.img
    logo = gen_screens.title("TARVO CONTENT", 1, (255, 255, 170), (90, 200, 60), (22, 56, 26), 3)
    img.alpha_composite(logo, (16, page.y))
    page.y += logo.height + 8

    page.heading("FONTS")
    samples = ["THE QUICK BROWN FOX JUMPS OVER THE LAZY WORM", "0123456789 .,!?-+_#:;$()/\\='<>&"]
    for name in ("fixed_small", "fixed_medium", "fixed_large", "comic_medium"):
        sheet = load("graphics", "fonts", name + ".png")
        gh = sheet.height // 8
        scale = 2 if gh == 8 else 1
        page.label(name.upper() + "  (%d X %d)" % (gh, gh), 16, page.y)
        page.y += 14
        img.alpha_composite(on_checker(sheet.resize((sheet.width * scale, sheet.height * scale), Image.NEAREST)),
                            (16, page.y))
        line = Image.new("RGBA", (1300 // scale, gh * 2 + 8), (0, 0, 0, 0))
        fit = line.width // (sheet.width // 8)
        common.draw_text(line, samples[0][:fit], sheet, 0, 0, (255, 255, 255))
        common.draw_text(line, samples[1][:fit], sheet, 0, gh + 6, (83, 148, 28) if gh < 32 else (255, 90, 0))
        img.alpha_composite(line.resize((line.width * scale, line.height * scale), Image.NEAREST),
                            (16 + sheet.width * scale + 24, page.y + 4))
        page.y += max(sheet.height * scale, line.height * scale) + 14

    page.heading("WORM SKINS")
    moves = (["down"] * 2 + ["right"] * 3 + ["up"] * 2 + ["right"] * 2 + ["down"] * 3 + ["left"] * 2
             + ["down"] + ["right"] * 4 + ["up"] * 3)
    x = 16
    grass = load("graphics", "tilesets", "meadow.png").crop((16 * 0, 16, 16, 32))
    for name in gen_skins.SKINS:
        sheet = load("graphics", "skins", name + ".png")
        cell = Image.new("RGBA", (176, 150), BG)
        for gy in range(0, 150, 16):
            for gx in range(0, 176, 16):
                cell.alpha_composite(grass, (gx, gy))
        wormsim.draw(cell, sheet, wormsim.run((0, 0), moves, 30), 8, 6)
        img.alpha_composite(cell, (x, page.y))
        img.alpha_composite(on_checker(sheet.crop((0, 0, 256, 32))).resize((176, 22), Image.NEAREST),
                            (x, page.y + 154))
        page.label(name.upper(), x, page.y + 180)
        x += 200
    page.y += 200

    page.heading("TILESETS")
    for i, name in enumerate(gen_tilesets.THEMES):
        sheet = load("graphics", "tilesets", name + ".png")
        x = 16 + (i % 2) * 810
        page.label(name.upper() + ".PNG  256 X 256", x, page.y)
        img.alpha_composite(on_checker(sheet), (x, page.y + 14))
        sample = scene.render(sheet)
        img.alpha_composite(sample, (x + 272, page.y + 14))
        if i % 2 == 1 or i == len(gen_tilesets.THEMES) - 1:
            page.y += max(256, sample.height) + 34

    page.heading("SCREENS")
    shots = [("menu_back", 0.5), ("splash", 0.5), ("singleplayer_back", 0.5), ("twoplayer_back", 0.5),
             ("scoreboard_back", 0.5), ("fernhouse_splash", 0.5), ("highscore", 0.5), ("slider", 2)]
    x, row_h = 16, 0
    for name, scale in shots:
        pic = load("graphics", name + ".png")
        pic = on_checker(pic).resize((int(pic.width * scale), int(pic.height * scale)),
                                     Image.NEAREST if scale >= 1 else Image.BILINEAR)
        if x + pic.width > WIDTH - 16:
            x = 16
            page.y += row_h + 30
            row_h = 0
        img.alpha_composite(pic, (x, page.y))
        page.label("%s.PNG  %d X %d" % (name.upper(), int(pic.width / scale), int(pic.height / scale)), x,
                   page.y + pic.height + 6)
        x += pic.width + 24
        row_h = max(row_h, pic.height)
    page.y += row_h + 30

    common.save_png(page.finish().convert("RGB"), "docs", "content.png")


if __name__ == "__main__":
    main()
