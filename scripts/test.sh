#!/usr/bin/env bash
# Sets everything up on a Debian 12 machine, builds Sporrik twice, both with
# warnings as errors: a Release build of everything, as users and packagers
# make it, and a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer of the game and the tests that need no display.
# Runs every test under one virtual X server and the sanitized ones again,
# then each fuzz target for 20 seconds, and plays the sanitized game for a
# minute (scripts/soak.sh). Each step says how long it took.
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
# Drawing tests share this one server. It must not reset when its last client
# leaves, or a test that connects at that moment is refused.
step "tests" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "
    ctest --test-dir build --output-on-failure -j$jobs &&
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        GTEST_FILTER='-AssetGenerator.TwoRuns*' \
        ctest --test-dir build-sanitize --output-on-failure -L unit -j$jobs"

# The fuzz build takes its seeds from the Release build's generated assets.
step "fuzzing" env SPORRIK_FUZZ_ASSETS="$PWD/build/assets" scripts/fuzz.sh 20
step "soak" scripts/soak.sh 60
