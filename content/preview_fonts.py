"""Developer preview: every font's glyphs and sample lines on dark and light grounds, enlarged."""
import common
from PIL import Image

FONTS = ["fixed_small", "fixed_medium", "fixed_large", "comic_medium"]
TEXT = [" ABCDEFGHIJKLMNOPQRSTUVWXYZ", "0123456789.,!?-+_#:;$()/\\='<>&", "ONE PLAYER  TIME LEFT 02:59",
        "Score 1250! YOU WIN"]


def main():
    img = Image.new("RGBA", (1100, 640), (40, 60, 50, 255))
    y = 4
    for name in FONTS:
        sheet = Image.open(common.out_path("graphics", "fonts", name + ".png")).convert("RGBA")
        gh = sheet.height // 8
        for i, line in enumerate(TEXT):
            tint = [(255, 255, 255), (83, 148, 28), (255, 90, 0), (255, 230, 120)][i]
            common.draw_text(img, line, sheet, 4, y, tint)
            y += gh + 2
        y += 4
    img.save("/tmp/fonts_preview.png")


if __name__ == "__main__":
    main()
