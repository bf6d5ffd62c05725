#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for the given number of
# seconds (default 20), one after another. Each target keeps a growing
# corpus under build-fuzz/fuzz-corpus, seeded from the generated assets; a
# crash, leak or sanitizer report is kept under build-fuzz/fuzz-findings and
# fails the run.
#
#   scripts/fuzz.sh [seconds] [target...]     targets: png wav md3 cfg skin
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(png wav md3 cfg skin)
fi

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DSPORRIK_FUZZ=ON -DSPORRIK_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target sporrik_fuzz_seeds $(printf 'sporrik_fuzz_%s ' "${targets[@]}")

# Inputs beyond these sizes only slow the search: the seeds above them are cut.
declare -A max_len=([png]=65536 [wav]=16384 [md3]=65536 [cfg]=4096 [skin]=4096)

status=0
for target in "${targets[@]}"; do
    corpus=$build/fuzz-corpus/$target
    findings=$build/fuzz-findings/$target
    mkdir -p "$corpus" "$findings"
    echo "== fuzzing $target for $seconds s"
    if ! "$build/tests/fuzz/sporrik_fuzz_$target" "$corpus" "$build/fuzz-seeds/$target" \
        -max_total_time="$seconds" -max_len="${max_len[$target]}" -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/fuzz-$target.log"; then
        echo "fuzz target $target failed; see $build/fuzz-$target.log and $findings" >&2
        tail -n 40 "$build/fuzz-$target.log" >&2
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-$target.log" || true
done
exit $status
