#!/bin/bash
# Regenerates every picture, sound and map the game loads, then checks them.
# Usage: content/build.sh [all|images|sounds|music|maps|sheet|check]   (default: all)
set -euo pipefail
cd "$(dirname "$0")"
../tools/install-deps.sh content

# Debian's interpreter: the one first on PATH may lack Pillow and numpy.
PY=/usr/bin/python3
what="${1:-all}"

images() {
    "$PY" gen_fonts.py
    "$PY" gen_skins.py
    "$PY" gen_tilesets.py
    "$PY" gen_screens.py   # draws with the fonts, skins and tilesets above
    "$PY" gen_icons.py     # the desktop icon, from a skin, a tileset and an apple
    "$PY" gen_tile_numbers.py   # docs/tiles/: the tile numbers of every tileset
}

maps() {
    "$PY" maps/gen_layouts.py
    "$PY" maps/gen_maps.py
}

case "$what" in
    all) images; "$PY" gen_sounds.py; "$PY" gen_music.py; maps; "$PY" contact_sheet.py; "$PY" check_content.py ;;
    images) images; "$PY" contact_sheet.py ;;
    sounds) "$PY" gen_sounds.py ;;
    music) "$PY" gen_music.py ;;
    maps) maps ;;
    sheet) "$PY" contact_sheet.py ;;
    check) "$PY" check_content.py ;;
    *) echo "unknown target: $what" >&2; exit 2 ;;
esac
