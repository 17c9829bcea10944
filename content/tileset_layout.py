"""Tile numbers shared by every tileset, for map makers and the generators.

Walls join by their eight neighbours: give wall_tile() the base of a wall kind and the cells around,
and it answers the tile whose edges and corners meet the neighbours.
"""
APPLE_NORMAL, APPLE_SUPER, APPLE_ROTTEN, APPLE_TURBO, APPLE_BEER, APPLE_CAKE = range(6)
GROUND = 16          # 16..23 plain ground variants, 24..31 ground with small details
GROUND_DETAIL = 24
FLOOR = 32           # 32..39 plain second ground (path, floor), 40..47 with details
FLOOR_DETAIL = 40
WALL_A = 48          # 47 joined tiles, 48..94
WALL_B = 96          # 47 joined tiles, 96..142
OBSTACLES = 144      # 144..151 single-cell obstacles for the wall layer
NONE_MARK = 255      # column 15, row 15: drawn over an apple that was not eaten

N, NE, E, SE, S, SW, W, NW = (1, 2, 4, 8, 16, 32, 64, 128)
NEIGHBOURS = ((0, -1, N), (1, -1, NE), (1, 0, E), (1, 1, SE), (0, 1, S), (-1, 1, SW), (-1, 0, W),
              (-1, -1, NW))


def reduce_mask(mask):
    """A corner neighbour only matters when both sides next to it are walls too."""
    for corner, a, b in ((NE, N, E), (SE, S, E), (SW, S, W), (NW, N, W)):
        if mask & corner and not (mask & a and mask & b):
            mask &= ~corner
    return mask


BLOB_MASKS = sorted({reduce_mask(m) for m in range(256)})
assert len(BLOB_MASKS) == 47
BLOB_INDEX = {m: i for i, m in enumerate(BLOB_MASKS)}


def wall_tile(base, mask):
    return base + BLOB_INDEX[reduce_mask(mask)]


def wall_tile_at(base, is_wall, x, y):
    """is_wall(x, y) -> bool for any cell, outside the map included."""
    mask = 0
    for dx, dy, bit in NEIGHBOURS:
        if is_wall(x + dx, y + dy):
            mask |= bit
    return wall_tile(base, mask)
