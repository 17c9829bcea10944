# Helpers for end-to-end tests of the real binary. Every wait is bounded; processes are stopped by PID.
XVFB_PID=""
GAME_PID=""
WIN=""

stop_pid() { # SIGTERM (SDL turns it into a quit event), bounded wait, then SIGKILL
    local p=$1 i
    kill "$p" 2>/dev/null || return 0
    for i in $(seq 1 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$p" 2>/dev/null && kill -KILL "$p" 2>/dev/null
    wait "$p" 2>/dev/null
    return 0
}

e2e_cleanup() {
    [ -n "$GAME_PID" ] && stop_pid "$GAME_PID"
    [ -n "$XVFB_PID" ] && stop_pid "$XVFB_PID"
    GAME_PID=""
    XVFB_PID=""
}

start_xvfb() { # picks a free display itself and exports DISPLAY
    local f
    f=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$f" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 1 100); do [ -s "$f" ] && break; sleep 0.05; done
    [ -s "$f" ] || { echo "Xvfb did not start" >&2; rm -f "$f"; return 1; }
    export DISPLAY=":$(cat "$f")"
    rm -f "$f"
}

start_game() { # start_game LOG CMD... (in the working directory)
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    GAME_PID=$!
}

wait_window() { # wait_window TITLE [seconds]: sets WIN
    local title=$1 secs=${2:-10} i
    for i in $(seq 1 $((secs * 20))); do
        WIN=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1)
        [ -n "$WIN" ] && break
        kill -0 "$GAME_PID" 2>/dev/null || { echo "game exited before its window appeared" >&2; return 1; }
        sleep 0.05
    done
    [ -n "$WIN" ] || { echo "no window '$title' after ${secs}s" >&2; return 1; }
    xdotool windowfocus --sync "$WIN" 2>/dev/null || true
}

wait_exit() { # wait_exit [seconds]: waits for the game to end; returns its exit status
    local secs=${1:-10} i rc
    for i in $(seq 1 $((secs * 20))); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$GAME_PID" 2>/dev/null; then
        echo "game still running after ${secs}s" >&2
        return 1
    fi
    wait "$GAME_PID"
    rc=$?
    GAME_PID=""
    return $rc
}

# Real ImageMagick: a convert earlier on PATH may be a stand-in.
CONVERT=/usr/bin/convert

key() { # key KEY...: xdotool key names, e.g. key Down Return
    xdotool key --delay 40 "$@"
}

shot() { # shot FILE: the window alone, 800x600 in game coordinates
    xwd -silent -id "$WIN" | "$CONVERT" xwd:- "$1"
}

pixel() { # pixel FILE X Y: prints R,G,B
    "$CONVERT" "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

wait_pixel() { # wait_pixel X Y R,G,B [seconds]: polls window screenshots until the pixel matches
    local x=$1 y=$2 want=$3 secs=${4:-10} got="" i f
    f=$(mktemp --suffix=.png)
    for i in $(seq 1 $((secs * 5))); do
        shot "$f" && got=$(pixel "$f" "$x" "$y")
        [ "$got" = "$want" ] && { rm -f "$f"; return 0; }
        sleep 0.2
    done
    rm -f "$f"
    echo "pixel ($x,$y) is $got, expected $want" >&2
    return 1
}

press_until_pixel() { # press_until_pixel KEY X Y R,G,B [tries]: presses KEY until the pixel matches
    local k=$1 x=$2 y=$3 want=$4 tries=${5:-20} i f got=""
    f=$(mktemp --suffix=.png)
    for i in $(seq 1 "$tries"); do
        shot "$f" && got=$(pixel "$f" "$x" "$y")
        [ "$got" = "$want" ] && { rm -f "$f"; return 0; }
        key "$k"
        sleep 0.3
    done
    rm -f "$f"
    echo "pixel ($x,$y) is $got after $tries presses of $k, expected $want" >&2
    return 1
}

write_windowed_config() { # write_windowed_config FILE: the default settings in a window
    # Version 1, music and sound volume 50, windowed; player 1 buffered on the arrow keys, player 2
    # buffered on A D W S, both absolute; no campaign unlocked.
    printf '\x01\x00\x00\x00\x32\x00\x00\x00\x32\x00\x00\x00\x00' >"$1"
    printf '\x01\x00\x00\x00\x14\x01\x00\x00\x13\x01\x00\x00\x11\x01\x00\x00\x12\x01\x00\x00' >>"$1"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00' >>"$1"
    printf '\x01\x00\x00\x00\x61\x00\x00\x00\x64\x00\x00\x00\x77\x00\x00\x00\x73\x00\x00\x00' >>"$1"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00' >>"$1"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$1"
}

link_game_data() { # link_game_data SOURCE_DIR: the game's data directories into the working directory
    local d
    for d in graphics sounds scripts maps campaigns ai; do
        [ -d "$1/$d" ] && ln -s "$1/$d" "$d"
    done
    return 0
}

enter_work_dir_with_own_maps() { # enter_work_dir_with_own_maps SOURCE_DIR: a temporary working directory
    # (WORK, removed on exit) with the game's data linked in but an empty maps folder of its own, and
    # windowed settings.
    WORK=$(mktemp -d)
    trap 'e2e_cleanup; rm -rf "$WORK"' EXIT
    cd "$WORK" || exit 1
    link_game_data "$1"
    rm -f maps
    mkdir maps
    write_windowed_config config.dat
}

fail() { # fail MESSAGE: says why with the game's output and error log (in $WORK), and ends the test
    echo "$1" >&2
    cat "$WORK/game.log" >&2
    [ -e "$WORK/ErrorLog.txt" ] && cat "$WORK/ErrorLog.txt" >&2
    exit 1
}
