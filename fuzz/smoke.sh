#!/bin/bash
# Runs every fuzz target of a fuzz build for a while (seconds, default 20) on a copy of its seeds: the
# shipped files, fuzz/corpus and the inputs that once crashed it (fuzz/regressions). Fails on any finding,
# which libFuzzer writes into a temporary folder that is then kept, as TARGET-crash-* (-leak-*, -timeout-*,
# -oom-*). Needs DISPLAY for the script target. Usage: fuzz/smoke.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$1
secs=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)

# target: seed folders, relative to the source root
declare -A seeds=(
    [map_file_fuzz]="maps fuzz/corpus/map"
    [campaign_file_fuzz]="campaigns"
    [aifile_fuzz]="ai"
    [script_fuzz]="scripts"
    [configuration_fuzz]="fuzz/corpus/config"
    [highscore_table_fuzz]="fuzz/corpus/highscore"
)
# The leak check of each input and at exit scans thread-local storage, where SDL keeps its own state; the
# script target, the only one that starts SDL and the GL driver's threads, runs alone, so that it never
# trips the tracer the way parallel tests did.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
# Saves sync to disk; on a RAM folder that costs nothing and the fuzzers run many times faster.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The readers of plain files run one per core at a time; each writes its findings under its own name.
jobs=$(nproc)
fuzz() {
    local target=$1 corpus="$work/$1" d
    mkdir -p "$corpus"
    for d in ${seeds[$target]} "fuzz/regressions/$target"; do
        [ -d "$root/$d" ] && find "$root/$d" -maxdepth 1 -type f ! -name '*.sh' -exec cp {} "$corpus/" \;
    done
    echo "== $target: $(ls "$corpus" | wc -l) seeds, ${secs}s"
    if ! (cd "$work" && "$root/$build/fuzz/$target" -max_total_time="$secs" -rss_limit_mb=1024 -timeout=10 \
        -artifact_prefix="$work/$target-" -print_final_stats=1 "$corpus" 2>"$work/$target.log"); then
        tail -50 "$work/$target.log" >&2
        echo "$target found a fault; the input is in $work (kept)" >&2
        return 1
    fi
    echo "== $target: $(grep -E "^stat::number_of_executed_units" "$work/$target.log" | tr -s ' ' | cut -d' ' -f2) inputs"
}
failed=0
running=0
for target in map_file_fuzz campaign_file_fuzz aifile_fuzz configuration_fuzz highscore_table_fuzz script_fuzz; do
    if [ "$target" = script_fuzz ]; then
        for _ in $(seq "$running"); do
            wait -n || failed=1
        done
        running=0
    elif [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    fuzz "$target" &
    running=$((running + 1))
done
for _ in $(seq "$running"); do
    wait -n || failed=1
done
if [ "$failed" -ne 0 ]; then
    trap - EXIT
    exit 1
fi
