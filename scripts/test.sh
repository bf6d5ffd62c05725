#!/usr/bin/env bash
# Sets everything up on a Debian 12 machine and builds Sporrik twice, both
# with warnings as errors: a Release build of the game, the tests that draw
# and the asset generator's tests, and beside it, at a lower priority, a
# Debug build with AddressSanitizer, UndefinedBehaviorSanitizer and the
# fuzzer's coverage of the game, the tests that need no display and the fuzz
# targets. Each test runs once: the drawing and end-to-end tests on the
# Release build under one virtual X server, the others sanitized beside
# them; then the fuzz targets, side by side for 20 seconds, beside 20 seconds
# of the sanitized game (scripts/soak.sh). Each step says how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

# On a shared machine the processor time (of this command's own processes)
# tells more than the wall time.
step() {
    local start=$SECONDS cpu
    cpu=$(cpu_ticks)
    "${@:2}"
    echo "== $1: $((SECONDS - start)) s, $((($(cpu_ticks) - cpu) / $(getconf CLK_TCK))) s of processor time" \
        "(load $(cut -d ' ' -f 1-3 /proc/loadavg))"
}
# cpu_ticks: user and system time of the ended child processes so far, in
# clock ticks.
cpu_ticks() { awk '{ print $16 + $17 }' /proc/$$/stat; }

step "packages" scripts/install-deps.sh

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

jobs=$(nproc)
# New build folders use Ninja, which starts a file's compile as soon as what it
# includes is there, not when whole libraries below it are built; a folder
# made earlier keeps its generator.
generator() { [ -f "$1/CMakeCache.txt" ] || echo -GNinja; }
cmake $(generator build) -S . -B build -DCMAKE_BUILD_TYPE=Release -DSPORRIK_WARNINGS_AS_ERRORS=ON
# The sanitized build is clang's, with AddressSanitizer, UndefinedBehavior-
# Sanitizer and the fuzzer's coverage: one build of the game's libraries serves
# the unit tests, the game for the soak and the fuzz targets. Drawing tests
# are left out of it: the GL driver's own allocations would drown their
# reports. Line tables are all a report needs; fuller debug information only
# slows the compile and link. Precompiled headers save this build a quarter
# of its processor time; the Release build, without them, checks that the
# game's files include what they use. A folder that an older version of this
# command made with another compiler is made anew.
if [ -f build-sanitize/CMakeCache.txt ] && ! grep -q '^SPORRIK_FUZZ:BOOL=ON' build-sanitize/CMakeCache.txt; then
    rm -rf build-sanitize
fi
cmake $(generator build-sanitize) -S . -B build-sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DSPORRIK_SANITIZE=ON -DSPORRIK_FUZZ=ON -DSPORRIK_WARNINGS_AS_ERRORS=ON "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" \
    -DSPORRIK_PRECOMPILED_HEADERS=ON

# The Release build makes what the tests below use, and the icon and the
# compressed documents the install takes.
release_build() {
    cmake --build build -j"$jobs" --target sporrik sporrik-server sporrik_assets sporrik_icon \
        sporrik_display_tests sporrik_tools_tests sporrik_compressed_docs
}
sanitized_build() { cmake --build build-sanitize -j"$jobs" --target sporrik_unit_tests sporrik; }
# The generator's determinism (two whole runs) is checked in the Release
# build, with the rest of its tests; under the sanitizers it has already run
# once, for the assets.
sanitized_tests() {
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 GTEST_FILTER='-AssetGenerator.TwoRuns*' \
        ctest --test-dir build-sanitize --output-on-failure -L unit -j"$jobs"
}
fuzz_build() { SPORRIK_FUZZ_BUILD=build-sanitize scripts/fuzz.sh --build; }
# No test runs the benchmarks; they are built so that they keep compiling,
# on the libraries of the sanitized build, while the fuzz targets and the soak
# run for their set time.
bench_build() {
    cmake --build build-sanitize -j"$jobs" --target framebench fluidbench imagebench meshbench \
        sporrik_rulesbench sporrik_netbench
}
# The sanitized side runs at a lower priority beside the Release build and
# the tests that draw: it takes the cores that the Release build leaves idle
# while it links and generates the assets, and the time in which the
# end-to-end tests wait on the game in real time, while those keep the
# processor when they need it. It runs in a session of its own, so that a
# failure elsewhere ends all of it; the kernel then schedules the session as a
# group of its own, which takes the priority only from the group's own nice
# value (/proc/self/autogroup).
sanitized_side() { sanitized_build && sanitized_tests && fuzz_build; }
setsid nice -n 10 bash -c "set -euo pipefail; jobs=$jobs
    echo 10 >/proc/self/autogroup 2>/dev/null || true
    $(declare -f sanitized_build sanitized_tests fuzz_build sanitized_side); sanitized_side" \
    >build-sanitize/side.log 2>&1 &
side=$!
trap 'kill -- -"$side" 2>/dev/null || true' EXIT
await_side() {
    local status=0
    wait "$side" || status=$?
    cat build-sanitize/side.log
    return $status
}

step "Release build" release_build

# Drawing tests share this one server. It must not reset when its last client
# leaves, or a test that connects at that moment is refused. The end-to-end
# tests take its first screen (the network test the second and third too) with
# the pointer and the keys; the tests that draw only into their own pictures
# run beside them on the fourth. The game in the end-to-end tests draws with
# one of llvmpipe's threads (the same pictures, a fifth less processor time):
# the work beside it gets the other core.
drawing_tests() {
    local status=0
    DISPLAY=${DISPLAY%.*}.3 ctest --test-dir build --output-on-failure -j"$jobs" -R '_gl_tests$|^sporrik_tools_tests$' \
        >build/drawing-tests.log 2>&1 &
    local drawing=$!
    LP_NUM_THREADS=1 ctest --test-dir build --output-on-failure -L e2e || status=1
    wait "$drawing" || status=1
    cat build/drawing-tests.log
    return $status
}
step "drawing and end-to-end tests" xvfb-run -a -s "-screen 0 1024x768x24 -screen 1 1024x768x24 -screen 2 1024x768x24 \
    -screen 3 1024x768x24 -noreset" bash -c "set -euo pipefail; jobs=$jobs; $(declare -f drawing_tests); drawing_tests"
step "sanitized build and tests (beside the above)" await_side

fuzz_and_benchmarks() { SPORRIK_FUZZ_BUILD=build-sanitize scripts/fuzz.sh 20 && bench_build; }
step "fuzzing, soak and benchmarks" beside build-sanitize/fuzz.log fuzz_and_benchmarks -- scripts/soak.sh 20
