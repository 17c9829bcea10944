#!/bin/bash
# The game itself as a player meets it: seconds from start to window, the share of a core it takes in the
# still main menu, during a one-player round on the first map and back in the menu, each beside the
# share over the same stretch of an idle process (none), and its resident memory after the round.
# bench/whole_game.sh GAME_BINARY SOURCE_DIR (a release build; needs Xvfb, xdotool and ImageMagick).
set -u
GAME_BIN=$(realpath "$1")
SOURCE_DIR=$(realpath "$2")
. "$SOURCE_DIR/tests/e2e/lib.sh"

WORK=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
cd "$WORK" && link_game_data "$SOURCE_DIR" && write_windowed_config config.dat || exit 1
MENU_BACK=$(pixel graphics/menu_back.png 5 5)
ROUND_BACK=$(pixel graphics/singleplayer_back.png 5 5)
TICKS=$(getconf CLK_TCK)

# Processor seconds (user and system, all threads) the game has used so far.
cpu_seconds() {
    awk -v t="$TICKS" '{ printf "%.3f", ($14 + $15) / t }' "/proc/$GAME_PID/stat"
}

# share SECONDS LABEL: the game's share of one core over that stretch of wall time.
share() {
    local before after start end
    before=$(cpu_seconds)
    start=$(date +%s.%N)
    sleep "$1"
    after=$(cpu_seconds)
    end=$(date +%s.%N)
    awk -v a="$after" -v b="$before" -v s="$start" -v e="$end" -v l="$2" \
        'BEGIN { printf "%-34s %5.1f %% of a core\n", l, 100 * (a - b) / (e - s) }'
}

rss() {
    awk '/VmRSS/ { printf "%.1f MB\n", $2 / 1024 }' "/proc/$GAME_PID/status"
}

start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy
begin=$(date +%s.%N)
start_game "$WORK/game.log" "$GAME_BIN"
wait_window "Tarvo" 20 || fail "no window"
awk -v b="$begin" -v e="$(date +%s.%N)" 'BEGIN { printf "start to window (polled every 50 ms): %.2f s\n", e - b }'

press_until_pixel Escape 5 5 "$MENU_BACK" 40 || fail "the splashes and the intro did not lead to the menu"
sleep 1
share 5 "still main menu"
echo "resident memory in the menu: $(rss)"

# ONE PLAYER, PLAY MAP, the first map: each menu opens before the next key.
for keys in Return "Down Return" Return; do
    key $keys
    sleep 0.3
done
wait_pixel 5 5 "$ROUND_BACK" || fail "the round did not start"
sleep 3.5 # the start delay
share 5 "one-player round, first map"
key Escape
wait_pixel 5 5 "$MENU_BACK" || fail "Escape did not leave the round"
sleep 1
share 5 "main menu after the round"
echo "resident memory after the round: $(rss)"
key Up Return
wait_exit 20
