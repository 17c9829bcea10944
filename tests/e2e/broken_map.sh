#!/bin/bash
# A map that cannot be read ends the game the way every error does: the map list cannot be built, an
# "Error" box replaces the menus, any key closes it, and the game ends with status 0, the error logged and
# the settings saved.
set -u
GAME_BIN=$1
SOURCE_DIR=$2
. "$SOURCE_DIR/tests/e2e/lib.sh"

enter_work_dir_with_own_maps "$SOURCE_DIR"
printf 'not a map\n' >maps/broken.map
touch started

MENU_BACK=$(pixel graphics/menu_back.png 5 5)
ORANGE=255,90,0
# The box's two-pixel frame is the menus' green; its top edge crosses the middle column.
GREEN=83,148,28

start_xvfb || exit 1
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw"
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || fail "no window"

press_until_pixel Escape 5 5 "$MENU_BACK" 40 || fail "the splashes and the intro did not lead to the menu"
wait_pixel 174 295 $ORANGE || fail "ONE PLAYER is not focused in the main menu"

# ONE PLAYER, PLAY MAP: reading the map's title fails.
key Return
sleep 0.3
key Down Return
wait_pixel 5 5 0,0,0 || fail "the menus stayed up"
f=$(mktemp --suffix=.png)
shot "$f"
frame=$("$CONVERT" "$f" -crop 1x201+400+200 +repage txt:- | grep -c "srgb($GREEN)")
rm -f "$f"
[ "$frame" -ge 1 ] || fail "no error box on the screen"

key space
wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "exit status $rc"
[ -e ErrorLog.txt ] || fail "the error was not logged"
[ "$(grep -c -- '^--------------------------------$' ErrorLog.txt)" -eq 1 ] || fail "expected one error record"
[ config.dat -nt started ] || fail "config.dat was not written"
echo "the broken map ended the game through the error box"
