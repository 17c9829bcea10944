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
