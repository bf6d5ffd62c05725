#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs them all at once for the given
# number of seconds (default 20), sharing the cores. Each target keeps
# a growing corpus under build-fuzz/fuzz-corpus, seeded from the generated
# assets; a crash, leak or sanitizer report is kept under
# build-fuzz/fuzz-findings and fails the run. SPORRIK_FUZZ_ASSETS may name
# the generated assets of another build, which spares building the generator
# here. SPORRIK_FUZZ_BUILD may name a fuzz build configured elsewhere
# (scripts/test.sh passes its sanitized build, which holds the tests too);
# its corpora and findings are kept there.
#
#   scripts/fuzz.sh [seconds] [target...]     targets: png wav md3 cfg skin game settings
#                                             record netmessage netgame
#   scripts/fuzz.sh --build [target...]       only builds them and their seeds
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
build_only=false
if [ "$seconds" = --build ]; then
    build_only=true
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(png wav md3 cfg skin game settings record netmessage netgame)
fi

build=${SPORRIK_FUZZ_BUILD:-build-fuzz}
if [ -z "${SPORRIK_FUZZ_BUILD:-}" ]; then
    generator=()
    [ -f "$build/CMakeCache.txt" ] || generator=(-GNinja)
    # Precompiled headers save a fifth of the compile; the Release build
    # checks that every file includes what it uses.
    cmake "${generator[@]}" -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DSPORRIK_FUZZ=ON -DBUILD_TESTING=OFF -DSPORRIK_WARNINGS_AS_ERRORS=ON -DSPORRIK_PRECOMPILED_HEADERS=ON \
        -DSPORRIK_FUZZ_ASSETS="${SPORRIK_FUZZ_ASSETS:-}" >/dev/null
elif ! grep -q '^SPORRIK_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "fuzz: $build is no fuzz build" >&2
    exit 2
fi
cmake --build "$build" -j"$(nproc)" --target sporrik_fuzz_seeds $(printf 'sporrik_fuzz_%s ' "${targets[@]}")
if $build_only; then
    exit 0
fi

# Inputs beyond these sizes only slow the search: the seeds above them are cut.
declare -A max_len=([png]=65536 [wav]=16384 [md3]=65536 [cfg]=4096 [skin]=4096 [game]=16384 [settings]=4096
    [record]=8192 [netmessage]=1024 [netgame]=4096)

# fuzz <target>: one target's run.
fuzz() {
    local time=$seconds
    local corpus=$build/fuzz-corpus/$1 findings=$build/fuzz-findings/$1 log=$build/fuzz-$1.log
    mkdir -p "$corpus" "$findings"
    if ! "$build/tests/fuzz/sporrik_fuzz_$1" "$corpus" "$build/fuzz-seeds/$1" \
        -max_total_time="$time" -max_len="${max_len[$1]}" -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 2>"$log"; then
        echo "fuzz target $1 failed; see $log and $findings" >&2
        tail -n 40 "$log" >&2
        return 1
    fi
    echo "== $1: $time s, $(grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | tr '\n' ' ')"
}

status=0
running=()
for target in "${targets[@]}"; do
    fuzz "$target" &
    running+=($!)
done
for pid in "${running[@]}"; do
    wait "$pid" || status=1
done
exit $status
