#!/bin/bash
# Takes the README's screenshots (docs/menu.png, one-player.png, two-player.png, scoreboard.png) from the
# real game, and the modding guide's docs/editor.png from the map editor, under a private Xvfb, driven with
# xdotool like the end-to-end tests. The rounds are shot after
# fixed waits, so run it on an idle machine and look at the pictures: a busy one may show the worms dead.
# Usage: tools/screenshots.sh [GAME_BINARY [EDITOR_BINARY]]
#        (defaults: build/game/main/tarvo, build/game/edit/tarvo-edit)
set -u
cd "$(dirname "$0")/.."
ROOT=$(pwd)
GAME_BIN=$(readlink -f "${1:-build/game/main/tarvo}")
EDIT_BIN=$(readlink -f "${2:-build/game/edit/tarvo-edit}")
. "$ROOT/tests/e2e/lib.sh"

WORK=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
link_game_data "$ROOT"
# The score board follows a won campaign map; this campaign has one, won by surviving six seconds, which
# the worm does by going straight down the open meadow (no turbo apples to speed it into the wall).
rm campaigns
mkdir campaigns
printf '%s\n' 1 "" "" "SCREENSHOT" "" "" "" "sounds/song1.ogg" 1 \
    "" "maps/01-meadow.map" "" "5 0 6000" "6 3 1 0 0 2" 0 >campaigns/shot.cpj
write_windowed_config config.dat

MENU_BACK=$(pixel graphics/menu_back.png 5 5)
ONE_BACK=$(pixel graphics/singleplayer_back.png 5 5)
TWO_BACK=$(pixel graphics/twoplayer_back.png 5 5)
BOARD_BACK=$(pixel graphics/scoreboard_back.png 5 5)
ORANGE=255,90,0
FIRST_ROW_X=174
FIRST_ROW_Y=295

save() { # save NAME [SCALE]: the window at half size (or SCALE), as a small palette PNG in docs/
    shot "$WORK/shot.png" && "$CONVERT" "$WORK/shot.png" -resize "${2:-50%}" -colors 128 -strip "PNG8:$ROOT/docs/$1.png"
}

menu_path() { # menu_path STEP...: the keys of each step (words of one argument), then time for the next menu
    local step
    for step in "$@"; do
        # shellcheck disable=SC2086
        key $step
        sleep 0.3
    done
}

round_shot() { # round_shot NAME BACKGROUND: once the round shows, waits past the start delay, shoots, leaves
    wait_pixel 5 5 "$2" || fail "no $1 round"
    sleep 5.5
    save "$1"
    key Escape
    wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "no main menu after the $1 round"
}

start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || fail "no window"
press_until_pixel Escape 5 5 "$MENU_BACK" 40 || fail "no menu"
wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "ONE PLAYER is not focused"
save menu

# ONE PLAYER, PLAY MAP, the first map.
menu_path Return "Down Return" Return
round_shot one-player "$ONE_BACK"
# TWO PLAYER, NEW GAME, the first map.
menu_path "Down Return" Return Return
round_shot two-player "$TWO_BACK"
# ONE PLAYER, PLAY CAMPAIGN, the campaign above.
menu_path Return Return Return
wait_pixel 5 5 "$ONE_BACK" 10 || fail "no campaign round"
# A key leaves the won round; x does not also close the board (Escape, Return and Space do).
sleep 9
press_until_pixel x 5 5 "$BOARD_BACK" 20 || fail "no score board"
sleep 0.5
save scoreboard
e2e_cleanup

# The editor on a copy of a shipped map with a wall taken out of the border (marked by the checks) and a
# wall piece added, at full size so that its text stays readable.
cp maps/02-courtyard.map courtyard.map
start_xvfb || exit 1
start_game "$WORK/edit.log" "$EDIT_BIN" courtyard.map
wait_window "Tarvo map editor" 20 || fail "no editor window"
sleep 0.5
key 2
xdotool mousemove --window "$WIN" 12 300 click 3
sleep 0.2
xdotool mousemove --window "$WIN" 300 140 click 1
sleep 0.2
xdotool mousemove --window "$WIN" 200 250
sleep 0.3
save editor 100%
ls -l "$ROOT"/docs/{menu,one-player,two-player,scoreboard,editor}.png
