#!/bin/bash
# The real binary opens its "Tarvo" window, and a close request during the opening splash ends it with
# status 0, no error log and the settings saved.
set -u
GAME_BIN=$1
SOURCE_DIR=$2
. "$SOURCE_DIR/tests/e2e/lib.sh"

WORK=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
link_game_data "$SOURCE_DIR"
write_windowed_config config.dat
touch started

start_xvfb || exit 1
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw"
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || { cat "$WORK/game.log"; exit 1; }

kill -TERM "$GAME_PID"
wait_exit 20
rc=$?
if [ $rc -ne 0 ]; then
    echo "exit status $rc" >&2
    cat "$WORK/game.log"
    exit 1
fi
if [ -e "$WORK/ErrorLog.txt" ]; then
    echo "an error log was written:" >&2
    cat "$WORK/ErrorLog.txt" >&2
    exit 1
fi
if [ ! config.dat -nt started ]; then
    echo "config.dat was not written" >&2
    exit 1
fi
if grep -qi "error" "$WORK/game.log"; then
    echo "the game printed errors:" >&2
    cat "$WORK/game.log" >&2
    exit 1
fi
echo "window opened and closed cleanly"
