#!/bin/bash
# Installs what is missing, checks formatting, builds, and runs the whole suite headless in a normal build,
# the unit tests again in a sanitizer build, and the fuzz targets for a short while. Starts its own Xvfb and
# stops it by PID.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install-deps.sh

echo "== formatting"
mapfile -t sources < <(git ls-files -co --exclude-standard -- 'engine/*.h' 'engine/*.cpp' 'game/*.h' 'game/*.cpp' \
    'tests/*.h' 'tests/*.cpp' 'bench/*.h' 'bench/*.cpp' 'fuzz/*.h' 'fuzz/*.cpp' | sort -u | while read -r f; do [ -f "$f" ] && echo "$f"; done)
clang-format --dry-run --Werror "${sources[@]}"

jobs=$(nproc)
# Each test binary runs as a few processes rather than one per test (see tests/CMakeLists.txt).
shards="-DTARVO_TEST_SHARDS=4"
# With a compiler cache, a later run compiles only what changed, whichever folder the clone is in.
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root" CCACHE_SLOPPINESS="pch_defines,time_macros"
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON -DTARVO_SANITIZE=OFF "$shards" >/dev/null
cmake --build build -j"$jobs"

echo "== sanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON -DTARVO_SANITIZE=ON \
    -DTARVO_BENCH=OFF "$shards" >/dev/null
cmake --build build-sanitize -j"$jobs" --target fernhouse_tests tarvo_game_tests

dispfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dispfile" 2>/dev/null &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -f "$dispfile"' EXIT
for _ in $(seq 1 200); do [ -s "$dispfile" ] && break; sleep 0.05; done
[ -s "$dispfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$dispfile")"
# Never touch a real sound card; sound tests switch to the disk driver themselves.
export SDL_AUDIODRIVER=dummy

echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# The leak scan leaves out thread-local storage: walking it crashed LeakSanitizer's tracer ("Tracer caught
# signal 11") on the dynamic loader's TLS of the libraries SDL and GL load, whenever two tests ran at once.
# What only TLS holds belongs to the loader and system libraries, which tests/lsan.supp names.
# The slow unwinder lets a leak's stack reach our code past SDL and the GL driver.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0:use_tls=0:fast_unwind_on_malloc=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Mesa's softpipe rasterises here, on the calling thread and without a JIT: LeakSanitizer's tracer crashed on
# llvmpipe's threads, and the slow unwinder deadlocks in libgcc when llvmpipe registers the frames of the code
# it compiles. The normal pass above keeps llvmpipe. Each test's time limit is set in tests/CMakeLists.txt.
GALLIUM_DRIVER=softpipe ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

echo "== fuzz smoke (10 s per reader)"
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON -DTARVO_FUZZ=ON \
    -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target tarvo_fuzz
bash fuzz/smoke.sh build-fuzz 10
