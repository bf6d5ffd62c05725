#!/usr/bin/env bash
# Sets everything up on a Debian 12 machine, builds Sporrik twice, both with
# warnings as errors: a Release build of everything, as users and packagers
# make it, and a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer of the game and the tests that need no display.
# Runs every test under one virtual X server and the sanitized ones again
# (beside the end-to-end tests), then each fuzz target for 20 seconds (the
# two readers of the kept files 10 seconds each, on one core) beside a minute
# of the sanitized game (scripts/soak.sh). Each step says how long
# it took.
set -euo pipefail
cd "$(dirname "$0")/.."

step() {
    local start=$SECONDS
    "${@:2}"
    echo "== $1: $((SECONDS - start)) s (load $(cut -d ' ' -f 1-3 /proc/loadavg))"
}

step "packages" scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSPORRIK_WARNINGS_AS_ERRORS=ON
step "Release build" cmake --build build -j"$jobs"
# Drawing tests are left out: the GL driver's own allocations would drown
# their reports.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSPORRIK_SANITIZE=ON -DSPORRIK_WARNINGS_AS_ERRORS=ON
step "sanitized build" cmake --build build-sanitize -j"$jobs" --target sporrik_unit_tests sporrik

# The generator's determinism (two whole runs) is checked in the Release
# build; under the sanitizers it has already run once, for the assets.
sanitized_tests() {
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 GTEST_FILTER='-AssetGenerator.TwoRuns*' \
        ctest --test-dir build-sanitize --output-on-failure -L unit -j"$jobs"
}

# beside <log> <first...> -- <second...>: runs both commands at once, the
# first's output kept in the log and shown when both have ended; fails when
# either does. The end-to-end tests and the soak wait on the game in real
# time, with deadlines: the other work fills the time they spend waiting.
beside() {
    local log=$1 status=0
    shift
    local first=()
    while [ "$1" != "--" ]; do
        first+=("$1")
        shift
    done
    shift
    "${first[@]}" >"$log" 2>&1 &
    local pid=$!
    "$@" || status=1
    wait "$pid" || status=1
    cat "$log"
    return $status
}

# Drawing tests share this one server. It must not reset when its last client
# leaves, or a test that connects at that moment is refused.
all_tests() {
    ctest --test-dir build --output-on-failure -j"$jobs" -LE e2e &&
        beside build-sanitize/unit-tests.log sanitized_tests -- \
            ctest --test-dir build --output-on-failure -L e2e
}
step "tests" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    bash -c "set -euo pipefail; jobs=$jobs; $(declare -f sanitized_tests beside all_tests); all_tests"

# The fuzz build takes its seeds from the Release build's generated assets.
step "fuzzing and soak" beside build/fuzz.log env SPORRIK_FUZZ_ASSETS="$PWD/build/assets" scripts/fuzz.sh 20 -- \
    scripts/soak.sh 60
