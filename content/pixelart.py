"""Tiny raster toolkit for 16 x 16 pixel art: shaded blobs, outlines, periodic noise."""
import math
import random

import numpy as np

import common

LIGHT = np.array([-0.5, -0.7, 0.8])
LIGHT = LIGHT / np.linalg.norm(LIGHT)


def canvas(size=16):
    return np.zeros((size, size, 4), dtype=np.uint8)


def ramp(base, shadow=(40, 18, 60), light=(255, 248, 210), steps=5):
    base = common.hex_rgb(base) if isinstance(base, str) else tuple(base)
    if steps == 5:
        return [common.mix(base, shadow, 0.6), common.mix(base, shadow, 0.3), base,
                common.mix(base, light, 0.4), common.mix(base, light, 0.75)]
    return [common.mix(base, shadow, 0.6 * (1 - i / (steps - 1))) if i < steps // 2 else
            common.mix(base, light, 0.75 * (i - steps // 2) / (steps - 1 - steps // 2))
            for i in range(steps)]


def put(img, x, y, colour, alpha=255):
    if 0 <= x < img.shape[1] and 0 <= y < img.shape[0]:
        img[y, x] = tuple(common.not_key_black(tuple(colour[:3]))) + (alpha,)


def blend(img, x, y, colour, alpha):
    """Lays a translucent colour over what is there (used for soft shadows)."""
    if not (0 <= x < img.shape[1] and 0 <= y < img.shape[0]):
        return
    dst = img[y, x].astype(float)
    a = alpha / 255.0
    da = dst[3] / 255.0
    out_a = a + da * (1 - a)
    if out_a <= 0:
        return
    rgb = (np.array(colour[:3]) * a + dst[:3] * da * (1 - a)) / out_a
    img[y, x] = tuple(int(round(c)) for c in common.not_key_black(tuple(int(v) for v in rgb))) + (
        int(round(out_a * 255)),)


def shade_level(nx, ny, nz, levels=5, bias=0.0):
    n = np.array([nx, ny, nz])
    n = n / (np.linalg.norm(n) or 1)
    lit = 0.22 + 0.9 * max(0.0, float(np.dot(n, LIGHT))) + bias
    return int(min(levels - 1, max(0, round(lit * (levels - 0.6) - 0.5))))


def ellipse(img, cx, cy, rx, ry, colours, bias=0.0, mask=None):
    """A shaded ball lit from the top left; colours is a dark-to-light ramp."""
    for y in range(img.shape[0]):
        for x in range(img.shape[1]):
            dx = (x + 0.5 - cx) / rx
            dy = (y + 0.5 - cy) / ry
            r2 = dx * dx + dy * dy
            if r2 <= 1.0 and (mask is None or mask(x, y)):
                nz = math.sqrt(1 - r2)
                put(img, x, y, colours[shade_level(dx, dy, nz, len(colours), bias)])


def rect(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(img, x, y, colour)


def outline(img, colour, diagonal=False):
    """Rims every opaque shape with a one-pixel line inside the tile."""
    solid = img[:, :, 3] > 128
    h, w = solid.shape
    ring = np.zeros_like(solid)
    steps = [(-1, 0), (1, 0), (0, -1), (0, 1)]
    if diagonal:
        steps += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
    for dx, dy in steps:
        shifted = np.zeros_like(solid)
        shifted[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] = \
            solid[max(-dy, 0):h + min(-dy, 0), max(-dx, 0):w + min(-dx, 0)]
        ring |= shifted
    ring &= ~solid
    img[ring] = tuple(common.not_key_black(colour)) + (255,)


def soft_shadow(img, cx, cy, rx, ry, alpha=90):
    for y in range(img.shape[0]):
        for x in range(img.shape[1]):
            d = ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2
            if d <= 1.0:
                blend(img, x, y, (20, 16, 30), int(alpha * (1.0 if d < 0.6 else 0.6)))


def polygon_mask(points, size=16):
    """Pixel centres inside a polygon (even-odd rule)."""
    mask = np.zeros((size, size), dtype=bool)
    for y in range(size):
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            inside = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    inside = not inside
                j = i
            mask[y, x] = inside
    return mask


class PeriodicNoise:
    """Value noise that repeats every `period` pixels, so textures tile without seams."""

    def __init__(self, seed, period=16, cells=4):
        rnd = random.Random(seed)
        self.cells = cells
        self.period = period
        self.grid = [[rnd.random() for _ in range(cells)] for _ in range(cells)]

    def __call__(self, x, y):
        fx = (x % self.period) / self.period * self.cells
        fy = (y % self.period) / self.period * self.cells
        x0, y0 = int(fx) % self.cells, int(fy) % self.cells
        x1, y1 = (x0 + 1) % self.cells, (y0 + 1) % self.cells
        tx, ty = fx - int(fx), fy - int(fy)
        tx = tx * tx * (3 - 2 * tx)
        ty = ty * ty * (3 - 2 * ty)
        a = self.grid[y0][x0] * (1 - tx) + self.grid[y0][x1] * tx
        b = self.grid[y1][x0] * (1 - tx) + self.grid[y1][x1] * tx
        return a * (1 - ty) + b * ty


def fractal(seed, period=16):
    layers = [PeriodicNoise(seed * 7 + i, period, c) for i, c in enumerate((2, 4, 8))]

    def f(x, y):
        return (layers[0](x, y) * 0.5 + layers[1](x, y) * 0.33 + layers[2](x, y) * 0.17)
    return f
