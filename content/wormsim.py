"""Moves a worm cell by cell with the game's tile rules, so previews show the tiles as the game joins them."""
HEAD = {"right": 5, "left": 0, "up": 10, "down": 15}
VEC = {"right": (1, 0), "left": (-1, 0), "up": (0, -1), "down": (0, 1)}
TURN = {"left": {0: 1, 10: 3, 15: 2}, "right": {5: 6, 10: 8, 15: 7},
        "up": {10: 11, 5: 12, 0: 13}, "down": {15: 16, 5: 17, 0: 18}}
TAIL = {1: 4, 2: 4, 3: 4, 6: 9, 7: 9, 8: 9, 11: 14, 12: 14, 13: 14, 16: 19, 17: 19, 18: 19}


def run(start, moves, growth):
    """Returns the segments (x, y, tile), head first, after the given moves."""
    body = [[start[0], start[1], HEAD["down"]]]
    pending = growth
    for move in moves:
        hx, hy, ht = body[0]
        body[0][2] = TURN[move].get(ht, ht)
        dx, dy = VEC[move]
        body.insert(0, [hx + dx, hy + dy, HEAD[move]])
        if pending > 0:
            pending -= 1
        else:
            body.pop()
        body[-1][2] = TAIL.get(body[-1][2], body[-1][2])
    return body


def draw(target, sheet, body, ox, oy):
    for x, y, tile in reversed(body):
        src = sheet.crop(((tile % 16) * 16, (tile // 16) * 16, (tile % 16) * 16 + 16, (tile // 16) * 16 + 16))
        target.alpha_composite(src, (ox + x * 16, oy + y * 16))
