"""Checks the generated files against what the game expects of them. Run: /usr/bin/python3 check_content.py"""
import os
import subprocess
import unittest
import wave

import numpy as np
from PIL import Image

import common
import gen_icons
import gen_screens
import gen_skins
import tileset_layout as L

FONTS = {"fixed_small": 8, "fixed_medium": 16, "fixed_large": 32, "comic_medium": 16}
SCREENS = {"menu_back": (800, 600), "fernhouse_splash": (512, 256), "splash": (800, 600),
           "singleplayer_back": (800, 600), "twoplayer_back": (800, 600), "scoreboard_back": (800, 600),
           "highscore": (512, 128), "slider": (64, 64)}
SOUNDS = ["menuClick", "menuHover", "wormEatNormal", "wormEatRotten", "wormEatBeer", "wormEatTurbo",
          "wormEatSuper", "wormEatCake", "wormDie", "wormMove"]
MUSIC = ["song1", "song2"]
TILE_SIDES = (64, 128, 256, 512)


def rgba(*parts):
    return np.array(Image.open(common.out_path(*parts)).convert("RGBA"))


def fits_one_texture(w, h):
    return w in TILE_SIDES and h in TILE_SIDES


def keyed_black(arr):
    """Opaque pixels that a black colour key would make transparent by accident."""
    return (arr[:, :, 3] > 0) & (arr[:, :, 0:3].sum(axis=2) == 0)


def wav_info(name):
    with wave.open(common.out_path("sounds", name + ".wav")) as w:
        data = np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(float) / 32767
        return w.getframerate(), w.getsampwidth(), w.getnchannels(), w.getnframes() / w.getframerate(), data


class Fonts(unittest.TestCase):
    def test_each_font_is_an_eight_by_eight_sheet_in_one_texture(self):
        for name, glyph in FONTS.items():
            arr = rgba("graphics", "fonts", name + ".png")
            self.assertEqual(arr.shape[:2], (glyph * 8, glyph * 8), name)
            self.assertTrue(fits_one_texture(arr.shape[1], arr.shape[0]), name)

    def test_all_57_glyphs_are_drawn_and_the_space_is_empty(self):
        for name, g in FONTS.items():
            arr = rgba("graphics", "fonts", name + ".png")
            for i in range(64):
                cell = arr[(i // 8) * g:(i // 8 + 1) * g, (i % 8) * g:(i % 8 + 1) * g]
                ink = int((cell[:, :, 3] > 0).sum())
                if i == 0 or i >= 57:
                    self.assertEqual(ink, 0, "%s cell %d should be empty" % (name, i))
                else:
                    self.assertGreater(ink, 2, "%s cell %d has no glyph" % (name, i))

    def test_glyphs_are_white_so_label_colours_tint_them(self):
        for name in FONTS:
            arr = rgba("graphics", "fonts", name + ".png")
            self.assertEqual(int(arr[:, :, 0:3].max()), 255, name)
            self.assertFalse(keyed_black(arr).any(), name)


class Skins(unittest.TestCase):
    def test_player_skins_exist_with_at_least_four_more(self):
        names = [f[:-4] for f in os.listdir(common.out_path("graphics", "skins", "x")[:-1]) if f.endswith(".png")]
        self.assertIn("tarvo", names)
        self.assertIn("king", names)
        self.assertGreaterEqual(len(names), 6)

    def test_skins_fill_twenty_tiles_of_one_texture(self):
        for name in gen_skins.SKINS:
            arr = rgba("graphics", "skins", name + ".png")
            self.assertTrue(fits_one_texture(arr.shape[1], arr.shape[0]), name)
            for t in range(32):
                tile = arr[(t // 16) * 16:(t // 16 + 1) * 16, (t % 16) * 16:(t % 16 + 1) * 16]
                self.assertEqual(bool((tile[:, :, 3] > 0).any()), t < 20, "%s tile %d" % (name, t))
            self.assertFalse(keyed_black(arr).any(), name)

    def test_body_joins_have_the_same_width_on_every_connected_side(self):
        # A body crosses each side it connects on rows (or columns) 2..13, so any two tiles meet flush.
        expected = list(range(2, 14))
        for name in gen_skins.SKINS:
            arr = rgba("graphics", "skins", name + ".png")
            for t, (kind, move, before) in enumerate(gen_skins.TILES):
                entry, exit_ = gen_skins.tile_geometry(kind, move, before)
                tile = arr[(t // 16) * 16:(t // 16 + 1) * 16, (t % 16) * 16:(t % 16 + 1) * 16, 3] > 0
                # A head joins only behind it; its front is the face.
                sides = {entry} if kind == "head" else {entry, exit_} - {None}
                for side in sides:
                    edge = {"L": tile[:, 0], "R": tile[:, 15], "T": tile[0, :], "B": tile[15, :]}[side]
                    self.assertEqual(list(np.nonzero(edge)[0]), expected, "%s tile %d side %s" % (name, t, side))


class Tilesets(unittest.TestCase):
    def names(self):
        folder = os.path.dirname(common.out_path("graphics", "tilesets", "x"))
        return sorted(f for f in os.listdir(folder) if f.endswith(".png"))

    def test_at_least_three_tilesets_of_256_square(self):
        self.assertGreaterEqual(len(self.names()), 3)
        for f in self.names():
            self.assertEqual(rgba("graphics", "tilesets", f).shape[:2], (256, 256), f)

    def test_apples_none_mark_walls_and_ground_are_all_drawn(self):
        used = list(range(6)) + list(range(L.GROUND, L.FLOOR_DETAIL + 8)) + list(range(L.WALL_A, L.WALL_A + 47)) \
            + list(range(L.WALL_B, L.WALL_B + 47)) + list(range(L.OBSTACLES, L.OBSTACLES + 8)) + [L.NONE_MARK]
        for f in self.names():
            arr = rgba("graphics", "tilesets", f)
            for t in used:
                tile = arr[(t // 16) * 16:(t // 16 + 1) * 16, (t % 16) * 16:(t % 16 + 1) * 16]
                self.assertTrue((tile[:, :, 3] > 0).any(), "%s tile %d" % (f, t))
            self.assertFalse(keyed_black(arr).any(), f)

    def test_ground_tiles_are_opaque(self):
        for f in self.names():
            arr = rgba("graphics", "tilesets", f)
            ground = arr[16:48, :, 3]
            self.assertTrue((ground == 255).all(), f)

    def test_a_fully_surrounded_wall_is_solid(self):
        for f in self.names():
            arr = rgba("graphics", "tilesets", f)
            for base in (L.WALL_A, L.WALL_B):
                t = L.wall_tile(base, 255)
                tile = arr[(t // 16) * 16:(t // 16 + 1) * 16, (t % 16) * 16:(t % 16 + 1) * 16]
                self.assertTrue((tile[:, :, 3] == 255).all(), "%s tile %d" % (f, t))


class Icons(unittest.TestCase):
    def test_every_size_enlarges_the_smallest_by_whole_pixels(self):
        small = rgba("dist", "icons", "tarvo-%d.png" % gen_icons.SIZES[0])
        for size in gen_icons.SIZES:
            arr = rgba("dist", "icons", "tarvo-%d.png" % size)
            k = size // gen_icons.SIZES[0]
            self.assertTrue((arr == np.kron(small, np.ones((k, k, 1), dtype=np.uint8))).all(), size)


class Screens(unittest.TestCase):
    def test_screens_have_their_sizes(self):
        for name, size in SCREENS.items():
            arr = rgba("graphics", name + ".png")
            self.assertEqual((arr.shape[1], arr.shape[0]), size, name)

    def test_scoreboard_rows_are_see_through(self):
        # The game draws the rows first and this picture over them.
        arr = rgba("graphics", "scoreboard_back.png")
        self.assertTrue((arr[140:346, 90:711, 3] == 0).all())
        self.assertTrue((arr[0:130, :, 3] == 255).all())

    def test_slider_has_knob_track_and_both_ends(self):
        arr = rgba("graphics", "slider.png")
        for col, row in ((0, 0), (1, 0), (0, 1), (1, 1)):
            self.assertTrue((arr[row * 32:(row + 1) * 32, col * 32:(col + 1) * 32, 3] > 0).any())
        middle = arr[0:32, 32:64]
        self.assertTrue((middle == middle[:, :1]).all(), "the track must stretch without change")
        self.assertFalse(keyed_black(arr).any())

    def test_menu_area_is_calm(self):
        # On the whole board, where every menu, list and panel draws, the picture varies little, so green
        # and orange text stays readable.
        x0, y0, x1, y1 = gen_screens.read_board()
        arr = rgba("graphics", "menu_back.png")[y0:y1 + 1, x0:x1 + 1, 0:3].astype(float)
        self.assertLess(arr.std(), 12.0)
        self.assertLess(arr.mean(), 60.0)


class Sounds(unittest.TestCase):
    def test_effects_are_16_bit_44100_hz(self):
        for name in SOUNDS:
            rate, width, channels, seconds, data = wav_info(name)
            self.assertEqual((rate, width), (44100, 2), name)
            self.assertGreater(np.abs(data).max(), 0.1, name)
            self.assertLess(np.abs(data).max(), 0.99, name)
            self.assertLess(seconds, 2.0, name)

    def test_step_sound_is_short_and_soft(self):
        rate, width, channels, seconds, data = wav_info("wormMove")
        self.assertLess(seconds, 0.15)
        self.assertLess(np.abs(data).max(), 0.25)
        self.assertLess(abs(data[0]) + abs(data[-1]), 0.01)

    def test_music_is_vorbis_of_one_to_two_minutes_under_2_mb(self):
        for name in MUSIC:
            path = common.out_path("sounds", name + ".ogg")
            with open(path, "rb") as f:
                head = f.read(64)
            self.assertTrue(head.startswith(b"OggS") and b"vorbis" in head, name)
            self.assertLess(os.path.getsize(path), 2 * 1024 * 1024, name)
            seconds = float(subprocess.run(["soxi", "-D", path], capture_output=True, text=True,
                                           check=True).stdout)
            self.assertGreaterEqual(seconds, 60, name)
            self.assertLessEqual(seconds, 120, name)


if __name__ == "__main__":
    unittest.main(verbosity=1)
