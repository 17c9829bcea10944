#!/bin/bash
# A player's first session: skips the splashes and the intro, turns the music up in the audio panel, plays
# a one-player round on the first map, leaves it with Escape and quits from the main menu. The game ends
# with status 0 and no error log, having saved the new volume.
set -u
GAME_BIN=$1
SOURCE_DIR=$2
. "$SOURCE_DIR/tests/e2e/lib.sh"

WORK=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
link_game_data "$SOURCE_DIR"
[ -d maps ] || { echo "no maps in $SOURCE_DIR" >&2; exit 1; }
write_windowed_config config.dat
touch started

# Background pixels tell the menus from the round; the focused menu row is orange.
MENU_BACK=$(pixel graphics/menu_back.png 5 5)
ROUND_BACK=$(pixel graphics/singleplayer_back.png 5 5)
ORANGE=255,90,0
# A pixel of "ONE PLAYER", the main menu's first row.
FIRST_ROW_X=174
FIRST_ROW_Y=295

start_xvfb || exit 1
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw"
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || fail "no window"

press_until_pixel Escape 5 5 "$MENU_BACK" 40 || fail "the splashes and the intro did not lead to the menu"
wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "ONE PLAYER is not focused in the main menu"

# SETTINGS, AUDIO: music one step up, then back to the main menu.
key Down Down Return
sleep 0.3
key Return
sleep 0.3
key Right Down Down Return
sleep 0.3
key Escape
wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "the settings did not lead back to the main menu"

# ONE PLAYER, PLAY MAP, the first map.
key Return
sleep 0.3
key Down Return
sleep 0.3
key Return
wait_pixel 5 5 "$ROUND_BACK" || fail "the round did not start"
sleep 1
key Escape
wait_pixel 5 5 "$MENU_BACK" || fail "Escape did not leave the round"
wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "leaving the round did not land in the main menu"

# QUIT is one row up from the first, the menu wraps.
key Up Return
wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "exit status $rc"

[ -e ErrorLog.txt ] && fail "an error log was written"
grep -qi "error" game.log && fail "the game printed errors"
[ config.dat -nt started ] || fail "config.dat was not written"
music=$(od -An -j4 -N4 -tu4 config.dat | tr -d ' ')
[ "$music" = "60" ] || fail "the saved music volume is $music, expected 60"
[ -e highscore.dat ] || fail "highscore.dat was not written"
[ "$(od -An -v -td2 -w2 audio.raw | awk '$1 != 0 {n++} END {print n+0}')" -gt 0 ] || fail "no sound was mixed"
echo "played a round and quit cleanly"
