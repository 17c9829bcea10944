#!/bin/bash
# The installed game as a player meets it: installed into a fresh prefix, started by the command of its
# menu entry with an empty home, it makes the player's folder with links to the shipped data, keeps the player's own
# map and drops a link to a map the game no longer ships, plays a round on a linked map, and writes its
# settings and scores into the player's folder and nothing under the prefix. The installed menu entry and
# AppStream file pass their validators, and so does the map editor's menu entry; its launcher finds a map
# named relative to where the command was given.
set -u
BUILD_DIR=$1
SOURCE_DIR=$2
CMAKE=$3
. "$SOURCE_DIR/tests/e2e/lib.sh"

WORK=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
PREFIX="$WORK/prefix"
"$CMAKE" --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log" >&2; exit 1; }

for f in bin/tarvo lib/games/tarvo/tarvo bin/tarvo-edit lib/games/tarvo/tarvo-edit share/tarvo/maps share/tarvo/campaigns share/tarvo/scripts/intro.fhs \
    share/applications/tarvo.desktop share/applications/tarvo-edit.desktop share/metainfo/tarvo.metainfo.xml share/man/man6/tarvo.6 \
    share/icons/hicolor/32x32/apps/tarvo.png share/icons/hicolor/64x64/apps/tarvo.png \
    share/icons/hicolor/128x128/apps/tarvo.png; do
    [ -e "$PREFIX/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
[ -x "$PREFIX/bin/tarvo" ] || { echo "the tarvo command is not executable" >&2; exit 1; }
desktop-file-validate "$PREFIX/share/applications/tarvo.desktop" || exit 1
desktop-file-validate "$PREFIX/share/applications/tarvo-edit.desktop" || exit 1
appstream-util validate-relax --nonet "$PREFIX/share/metainfo/tarvo.metainfo.xml" || exit 1

# A player who has started an older version: their own map, and a link to a map no longer shipped.
export HOME="$WORK/home"
unset XDG_DATA_HOME
PLAYER="$HOME/.local/share/tarvo"
mkdir -p "$PLAYER/maps"
cp "$SOURCE_DIR/maps/01-meadow.map" "$PLAYER/maps/mine.map"
ln -s "$(readlink -f "$PREFIX")/share/tarvo/maps/00-gone.map" "$PLAYER/maps/00-gone.map"
# Everything the launcher or the game writes from now on is newer than this.
touch "$WORK/started"

MENU_BACK=$(pixel "$SOURCE_DIR/graphics/menu_back.png" 5 5)
ROUND_BACK=$(pixel "$SOURCE_DIR/graphics/singleplayer_back.png" 5 5)
ORANGE=255,90,0
FIRST_ROW_X=174
FIRST_ROW_Y=295

start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy
cd "$WORK" || exit 1
# Started the way the menu starts it.
exec_line=$(sed -n 's/^Exec=//p' "$PREFIX/share/applications/tarvo.desktop")
[ "$exec_line" = "$PREFIX/bin/tarvo" ] || { echo "the menu entry runs '$exec_line'" >&2; exit 1; }
start_game "$WORK/game.log" "$exec_line"
wait_window "Tarvo" 20 || fail "no window"
press_until_pixel Escape 5 5 "$MENU_BACK" 40 || fail "the splashes and the intro did not lead to the menu"
wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "ONE PLAYER is not focused in the main menu"

# ONE PLAYER, PLAY MAP, the first map (mine.map sorts after the shipped ones).
key Return
sleep 0.3
key Down Return
sleep 0.3
key Return
wait_pixel 5 5 "$ROUND_BACK" || fail "the round on a linked map did not start"
key Escape
wait_pixel $FIRST_ROW_X $FIRST_ROW_Y $ORANGE || fail "leaving the round did not land in the main menu"
key Up Return
wait_exit 20
rc=$?
[ $rc -eq 0 ] || fail "exit status $rc"

# The game logs the settings file it cannot read at a player's first start, and nothing else may go wrong.
if [ -e "$PLAYER/ErrorLog.txt" ]; then
    records=$(grep -c "^Exception in" "$PLAYER/ErrorLog.txt")
    if [ "$records" -ne 1 ] || ! grep -q "Failed to open file" "$PLAYER/ErrorLog.txt"; then
        cat "$PLAYER/ErrorLog.txt" >&2
        fail "errors were logged"
    fi
fi
[ "$PLAYER/config.dat" -nt "$WORK/started" ] || fail "config.dat was not written in the player's folder"
[ -e "$PLAYER/highscore.dat" ] || fail "highscore.dat was not written in the player's folder"
for f in config.dat highscore.dat ErrorLog.txt; do
    [ -e "$WORK/$f" ] && fail "$f was written in the directory the command was started from"
done
written=$(find "$PREFIX" -newer "$WORK/started")
[ -z "$written" ] || fail "written under the prefix: $written"

shipped=$(readlink -f "$PREFIX/share/tarvo")
[ "$(readlink -f "$PLAYER/graphics")" = "$shipped/graphics" ] || fail "graphics is not linked in"
[ "$(readlink -f "$PLAYER/campaigns/first_feast.cpj")" = "$shipped/campaigns/first_feast.cpj" ] ||
    fail "a shipped campaign is not linked in"
[ -f "$PLAYER/maps/mine.map" ] && [ ! -L "$PLAYER/maps/mine.map" ] || fail "the player's own map is gone"
{ [ -e "$PLAYER/maps/00-gone.map" ] || [ -L "$PLAYER/maps/00-gone.map" ]; } &&
    fail "the link to a map no longer shipped is still there"
# The editor's launcher finds a map named relative to where the command was given.
cd "$WORK" || exit 1
"$PREFIX/bin/tarvo-edit" missing.map >"$WORK/edit.log" 2>&1
rc=$?
[ $rc -eq 1 ] && grep -q "$WORK/missing.map" "$WORK/edit.log" || fail "the editor ended with $rc: $(cat "$WORK/edit.log")"
echo "installed, started from the menu command's launcher, played and quit with per-player files"
