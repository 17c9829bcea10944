"""Developer preview: each skin as a winding worm, enlarged."""
import common
import gen_skins
import wormsim
from PIL import Image

MOVES = (["down"] * 2 + ["right"] * 3 + ["up"] * 2 + ["right"] * 2 + ["down"] * 3 + ["left"] * 2
         + ["down"] + ["right"] * 4 + ["up"] * 3)


def main():
    names = list(gen_skins.SKINS)
    img = Image.new("RGBA", (len(names) * 140, 150), (92, 150, 70, 255))
    for i, name in enumerate(names):
        sheet = Image.open(common.out_path("graphics", "skins", name + ".png")).convert("RGBA")
        body = wormsim.run((0, 0), MOVES, 30)
        wormsim.draw(img, sheet, body, 8 + i * 140, 4)
        img.alpha_composite(sheet.crop((0, 0, 128, 32)), (6 + i * 140, 116))
    img = img.resize((img.width * 2, img.height * 2), Image.NEAREST)
    img.save("/tmp/skins_preview.png")


if __name__ == "__main__":
    main()
