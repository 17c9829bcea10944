"""The six apple kinds and the mark for none, the same in every tileset so players learn them once."""
import math

import pixelart as pa

OUTLINE = (38, 20, 30)


def _stem_and_leaf(img, leaf=True):
    pa.put(img, 8, 2, (110, 70, 40))
    pa.put(img, 8, 3, (88, 54, 30))
    if leaf:
        for x, y, c in ((9, 2, (94, 190, 60)), (10, 2, (130, 214, 80)), (11, 2, (94, 190, 60)),
                        (10, 1, (70, 160, 50)), (9, 3, (60, 140, 44)), (10, 3, (70, 160, 50))):
            pa.put(img, x, y, c)


def normal():
    img = pa.canvas()
    pa.soft_shadow(img, 8.5, 14.2, 5.5, 1.6)
    pa.ellipse(img, 8, 9, 5.6, 5.2, pa.ramp("#e0322c"))
    pa.put(img, 8, 4, (150, 24, 30))
    _stem_and_leaf(img)
    pa.outline(img, OUTLINE)
    pa.put(img, 5, 6, (255, 235, 225))
    pa.put(img, 5, 7, (255, 200, 190))
    return img


def super_():
    img = pa.canvas()
    pa.soft_shadow(img, 8.5, 14.2, 5.5, 1.6)
    pa.ellipse(img, 8, 9, 5.6, 5.2, pa.ramp("#f4bf26", shadow=(120, 50, 20)))
    pa.put(img, 8, 4, (180, 110, 20))
    _stem_and_leaf(img)
    pa.outline(img, (74, 40, 12))
    pa.put(img, 5, 6, (255, 255, 240))
    pa.put(img, 6, 6, (255, 250, 200))
    pa.put(img, 5, 7, (255, 250, 200))
    # Sparkles make it read as special even at a glance.
    for cx, cy, big in ((13, 4, True), (3, 12, False)):
        pa.put(img, cx, cy, (255, 255, 255))
        arms = (1, 2) if big else (1,)
        for a in arms:
            col = (255, 255, 220) if a == 1 else (255, 236, 140)
            for dx, dy in ((a, 0), (-a, 0), (0, a), (0, -a)):
                pa.put(img, cx + dx, cy + dy, col)
    return img


def rotten():
    img = pa.canvas()
    pa.soft_shadow(img, 8.5, 14.4, 5.5, 1.5)
    pa.ellipse(img, 8, 10, 5.4, 4.4, pa.ramp("#8a7a3a", shadow=(40, 30, 40), light=(200, 210, 150)))
    for x, y in ((6, 9), (7, 9), (10, 11), (11, 11), (10, 12), (6, 12), (9, 8)):
        pa.put(img, x, y, (70, 52, 30))
    pa.put(img, 8, 5, (80, 60, 40))
    pa.put(img, 9, 4, (80, 60, 40))
    pa.outline(img, (40, 30, 24))
    # A fly and stink lines.
    pa.put(img, 13, 3, (30, 30, 36))
    pa.put(img, 12, 2, (200, 230, 255))
    pa.put(img, 14, 2, (200, 230, 255))
    for x, y in ((3, 4), (4, 3), (3, 2), (5, 5), (6, 4), (5, 3)):
        pa.put(img, x, y, (150, 190, 70))
    return img


def turbo():
    img = pa.canvas()
    pa.soft_shadow(img, 8.5, 14.2, 5.5, 1.6)
    pa.ellipse(img, 9, 9, 5.4, 5.2, pa.ramp("#2f8ff0", shadow=(20, 20, 80), light=(220, 250, 255)))
    pa.put(img, 9, 4, (20, 60, 140))
    pa.put(img, 9, 3, (88, 54, 30))
    pa.put(img, 9, 2, (110, 70, 40))
    pa.outline(img, (16, 24, 60))
    bolt = pa.polygon_mask([(10.5, 4.5), (6.8, 9.6), (9.2, 9.6), (7.6, 14.0), (11.8, 8.2), (9.4, 8.2), (11.6, 4.5)])
    for y in range(16):
        for x in range(16):
            if bolt[y, x]:
                pa.put(img, x, y, (255, 236, 60) if x + y < 18 else (255, 196, 30))
    # Speed streaks trailing behind.
    for x, y in ((0, 7), (1, 7), (2, 7), (1, 10), (2, 10), (0, 12), (1, 12)):
        pa.put(img, x, y, (200, 240, 255))
    return img


def beer():
    img = pa.canvas()
    pa.soft_shadow(img, 8.0, 14.6, 6.0, 1.3)
    glass = pa.ramp("#e89a1c", shadow=(110, 40, 20), light=(255, 240, 170))
    for y in range(6, 15):
        for x in range(3, 12):
            nx = (x + 0.5 - 7.5) / 4.5
            lvl = pa.shade_level(nx, 0, math.sqrt(max(0.0, 1 - nx * nx)))
            pa.put(img, x, y, glass[lvl])
    for y in range(8, 12):
        pa.put(img, 12, y, (240, 200, 120))
        pa.put(img, 13, y, (200, 150, 80))
    pa.put(img, 12, 7, (230, 190, 120))
    pa.put(img, 12, 12, (230, 190, 120))
    for x, y in ((5, 10), (7, 12), (9, 9), (6, 13)):
        pa.put(img, x, y, (255, 228, 150))
    foam = [(3, 5), (4, 4), (5, 3), (6, 3), (7, 4), (8, 3), (9, 2), (10, 3), (11, 4), (12, 5)]
    for x in range(3, 12):
        pa.put(img, x, 5, (255, 255, 250))
        pa.put(img, x, 6, (236, 236, 230))
    for x, y in foam:
        for yy in range(y, 6):
            pa.put(img, x, yy, (255, 255, 255) if yy == y else (246, 246, 240))
    pa.put(img, 2, 6, (246, 246, 240))
    pa.outline(img, (60, 30, 16))
    return img


def cake():
    img = pa.canvas()
    pa.soft_shadow(img, 8.0, 14.6, 6.0, 1.3)
    for y in range(9, 15):
        inset = (y - 9) // 3
        for x in range(3 + inset, 13 - inset):
            stripe = (x % 2 == 0)
            pa.put(img, x, y, (120, 200, 235) if stripe else (80, 160, 210))
    cream = pa.ramp("#ff8fc0", shadow=(120, 30, 70), light=(255, 250, 250))
    pa.ellipse(img, 8, 8.2, 6.0, 2.6, cream)
    pa.ellipse(img, 8, 6.0, 4.3, 2.2, cream, bias=0.1)
    for x, y in ((4, 7), (7, 5), (11, 8), (9, 9), (6, 9)):
        pa.put(img, x, y, [(255, 240, 90), (120, 220, 255), (140, 240, 120), (255, 255, 255), (255, 240, 90)][
            (x + y) % 5])
    pa.ellipse(img, 8.5, 3.3, 1.8, 1.8, pa.ramp("#e0202c"))
    pa.put(img, 9, 1, (70, 130, 40))
    pa.put(img, 10, 0, (70, 130, 40))
    pa.outline(img, (60, 24, 44))
    pa.put(img, 8, 2, (255, 220, 220))
    return img


def none_mark():
    img = pa.canvas()
    red = (230, 36, 40)
    for y in range(16):
        for x in range(16):
            dx, dy = x + 0.5 - 8, y + 0.5 - 8
            r = math.hypot(dx, dy)
            ring = 5.0 <= r <= 7.2
            slash = abs(dx + dy) < 1.5 and r < 6
            if ring or slash:
                pa.put(img, x, y, red if (ring and r > 6.0) or (slash and dx + dy > 0) else (255, 80, 70))
    pa.outline(img, (60, 10, 16), diagonal=True)
    return img


APPLES = [normal, super_, rotten, turbo, beer, cake]
