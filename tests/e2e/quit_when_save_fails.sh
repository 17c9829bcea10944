#!/bin/bash
# A quit request ends the game even when the highscores cannot be saved at the end of the run: the failure
# is logged, no Error box waits for a key, and the process is gone within two seconds.
set -u
GAME_BIN=$1
SOURCE_DIR=$2
. "$SOURCE_DIR/tests/e2e/lib.sh"

WORK=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
link_game_data "$SOURCE_DIR"
write_windowed_config config.dat
# A folder in the table's place cannot be replaced, even by root.
mkdir highscore.dat
touch started

start_xvfb || exit 1
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw"
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || fail "no window"
press_until_pixel Escape 5 5 "$(pixel graphics/menu_back.png 5 5)" 40 || fail "no menu"

kill -TERM "$GAME_PID"
wait_exit 2
rc=$?
[ $rc -eq 0 ] || fail "exit status $rc"
grep -q "Failed to open file." ErrorLog.txt || fail "the failed save was not logged"
[ config.dat -nt started ] || fail "config.dat was not written"
echo "the quit request ended the game although the highscores could not be saved"
