#!/usr/bin/env bash
# Sets everything up on a Debian 12 machine, builds Sporrik twice (a Release
# build as users and packagers make it, and a Debug build with
# AddressSanitizer and UndefinedBehaviorSanitizer), both with warnings as
# errors, and runs every test under one virtual X server, then runs each fuzz
# target for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSPORRIK_WARNINGS_AS_ERRORS=ON
cmake --build build -j"$jobs"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSPORRIK_SANITIZE=ON -DSPORRIK_WARNINGS_AS_ERRORS=ON
cmake --build build-sanitize -j"$jobs"

# Drawing tests share this one server. It must not reset when its last client
# leaves, or a test that connects at that moment is refused. The sanitized run
# covers the tests that need no display: the GL driver's own allocations would
# drown its reports.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "
    ctest --test-dir build --output-on-failure -j$jobs &&
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-sanitize --output-on-failure -L unit -j$jobs"

scripts/fuzz.sh 20
