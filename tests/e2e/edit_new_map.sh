#!/bin/bash
# A map made from nothing in the editor with the mouse and keys: the new-map form, a wall border filled and
# hollowed out with the rectangle tool, a wall dragged, undone and redone, start points placed, one removed
# (the others renumbered) and placed again, saved with Ctrl+S. The file keeps every map rule, and the game
# lists it and starts a round on it.
set -u
EDIT_BIN=$1
GAME_BIN=$2
CHECK_BIN=$3
SOURCE_DIR=$4
. "$SOURCE_DIR/tests/e2e/lib.sh"

enter_work_dir_with_own_maps "$SOURCE_DIR"

# A 30-cell map is centred in the 528 x 576 view; the palette's tile 48 is on its fourth row.
cell() { echo $((24 + 16 * $1 + 8)) $((48 + 16 * $2 + 8)); }
move() { xdotool mousemove --window "$WIN" $(cell "$1" "$2"); sleep 0.1; }
click() { move "$2" "$3"; xdotool click "$1"; sleep 0.1; }
drag() { # drag BUTTON X0 Y0 X1 Y1
    move "$2" "$3"
    xdotool mousedown "$1"
    sleep 0.1
    move "$4" "$5"
    xdotool mouseup "$1"
    sleep 0.1
}

start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy
start_game "$WORK/game.log" "$EDIT_BIN"
wait_window "Tarvo map editor" 20 || fail "no editor window"
sleep 0.5

# The form: title, width, height (30 each by default), tileset; Return creates the map.
key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 40 "Edit Test"
key Tab Tab Tab Right Return
sleep 0.3

# Walls: pick the lone wall piece, fill the whole map, hollow it out.
key 2
xdotool mousemove --window "$WIN" 544 64 click 1
sleep 0.1
xdotool keydown shift
drag 1 0 0 29 29
drag 3 1 1 28 28
xdotool keyup shift
# A wall dragged in, undone and redone as one step.
drag 1 10 22 14 22
key ctrl+z ctrl+y

# Start points 1, 2 and 3; removing 1 renumbers the others, the next one placed is 3.
key 3
click 1 5 5
click 1 24 5
click 1 15 12
click 3 5 5
click 1 5 5

key ctrl+s
sleep 0.2
key Return
sleep 0.3
key Escape
wait_exit 10
rc=$?
[ $rc -eq 0 ] || fail "the editor ended with status $rc"

MAP=maps/edit-test.map
[ -f $MAP ] || fail "no $MAP saved: $(ls maps)"
[ "$(sed -n 2p $MAP)" = "Edit Test" ] || fail "title is '$(sed -n 2p $MAP)'"
[ "$(sed -n 3p $MAP)" = "graphics/tilesets/castle.png" ] || fail "tileset is '$(sed -n 3p $MAP)'"
[ "$(sed -n 4p $MAP)" = "3 30 30" ] || fail "sizes are '$(sed -n 4p $MAP)'"
# Layer 1 row 22 (after its header and the ground layer) and the start points in layer 2.
walls_row=$(sed -n "$((6 + 31 + 22))p" $MAP)
[ "$(echo "$walls_row" | awk '{print $11 $15 $16}')" = "4848-1" ] || fail "the dragged wall is wrong: $walls_row"
starts=$(sed -n "$((6 + 62))"',$p' $MAP | awk '{for (i = 1; i <= NF; i++) if ($i > 0) printf "%d@%d,%d ", $i, i - 1, NR - 1}')
[ "$starts" = "3@5,5 1@24,5 2@15,12 " ] || fail "start points are '$starts'"
"$CHECK_BIN" $MAP >"$WORK/check.log" 2>&1 || { cat "$WORK/check.log" >&2; fail "tarvo-check refused the map"; }

# The game lists the map and starts a round on it.
e2e_cleanup
start_xvfb || exit 1
MENU_BACK=$(pixel graphics/menu_back.png 5 5)
ROUND_BACK=$(pixel graphics/singleplayer_back.png 5 5)
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || fail "no game window"
press_until_pixel Escape 5 5 "$MENU_BACK" 40 || fail "the splashes and the intro did not lead to the menu"
sleep 0.3
key Return
sleep 0.3
key Down Return
sleep 0.3
key Return
wait_pixel 5 5 "$ROUND_BACK" || fail "the round on the new map did not start"
[ -e ErrorLog.txt ] && fail "an error log was written"
echo "made a map in the editor that keeps the rules and plays"
