#!/usr/bin/env bash
# Mutation check: applies each deliberate fault of a list (scripts/mutants.list
# describes the format) to a copy of the tree, one at a time, builds the tests
# the fault names, runs them and prints whether they caught it.
#
#   scripts/mutants.sh [--tree DIR] [--rev REV] [--list FILE] [--only REGEX]
#                      [--keep-build DIR] [-j N]
#
#   --tree DIR        copy DIR's working tree (default: this repository's)
#   --rev REV         copy the committed tree of REV instead (git archive)
#   --list FILE       the faults (default: scripts/mutants.list)
#   --only REGEX      only the faults whose id or folder matches
#   --keep-build DIR  the persistent copy and build (default: build-mutants/);
#                     kept between runs so that only changed files rebuild
#   -j N              build and test jobs (default: nproc)
#
# Results: caught (a test failed or timed out), missed (all passed), invalid
# (the text does not occur exactly once, the fault does not compile, or its
# selector matches no test). Exit 0 when every fault was caught. The build and
# test output of each fault stays in DIR/logs/<id>.log.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
tree=$repo rev="" list=$repo/scripts/mutants.list only="" work=$repo/build-mutants jobs=$(nproc)
test_timeout=300
arguments=("$@")
while [ $# -gt 0 ]; do
    case $1 in
        --tree) tree=$(cd "$2" && pwd); shift 2 ;;
        --rev) rev=$2; shift 2 ;;
        --list) list=$(realpath "$2"); shift 2 ;;
        --only) only=$2; shift 2 ;;
        --keep-build) work=$(realpath -m "$2"); shift 2 ;;
        -j) jobs=$2; shift 2 ;;
        -j*) jobs=${1#-j}; shift ;;
        -h | --help) sed -n '2,/^set/{/^set/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
        *) echo "mutants.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
    esac
done
if [ -z "${DISPLAY:-}" ]; then
    # One X server for every drawing test of the run; it must not reset when
    # its last client leaves, or a test that connects at that moment is refused.
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "${arguments[@]}"
fi

src=$work/tree
build=$src/build
mkdir -p "$work/logs"

die() {
    echo "mutants.sh: $*" >&2
    exit 2
}

# --- the faults ---------------------------------------------------------------
ids=() folders=() selectors=() files=() descriptions=() olds=() news=()
trim() { sed 's/^ *//;s/ *$//' <<<"$1"; }
add_fault() { # the fault read so far: $header, $old and $new
    [ -z "$header" ] && return
    local id folder file description selector
    IFS='|' read -r id folder file description selector <<<"$header"
    id=$(trim "$id") folder=$(trim "$folder") file=$(trim "$file")
    description=$(trim "$description") selector=$(trim "$selector")
    if [ -z "$selector" ] || [ -z "$old" ]; then
        die "$list: incomplete fault '$header'"
    fi
    header=""
    if [ -n "$only" ] && ! [[ $id =~ $only || $folder =~ $only ]]; then
        return
    fi
    ids+=("$id") folders+=("$folder") selectors+=("$selector") files+=("$file")
    descriptions+=("$description") olds+=("$old") news+=("$new")
}
header="" old="" new=""
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        '#'* | '') ;;
        '- '* | '-') old+=${old:+$'\n'}${line:2} ;;
        '+ '* | '+') new+=${new:+$'\n'}${line:2} ;;
        *)
            add_fault
            header=$line old="" new=""
            ;;
    esac
done <"$list"
add_fault
[ ${#ids[@]} -gt 0 ] || die "no fault in $list matches '$only'"
dupes=$(printf '%s\n' "${ids[@]}" | sort | uniq -d)
[ -z "$dupes" ] || die "ids used twice in $list: $dupes"

# --- the copy -----------------------------------------------------------------
# Only files whose content changed are rewritten, so their mtimes tell the
# build what to recompile; a fault left behind by an interrupted run goes too.
sync_tree() { # sync_tree <from>, the relative paths NUL-separated on stdin
    python3 -c '
import os, shutil, sys
origin, target = sys.argv[1], sys.argv[2]
wanted = {p for p in sys.stdin.read().split("\0") if p and os.path.isfile(os.path.join(origin, p))}
for path in wanted:
    a, b = os.path.join(origin, path), os.path.join(target, path)
    with open(a, "rb") as f:
        data = f.read()
    if os.path.isfile(b):
        with open(b, "rb") as f:
            if f.read() == data:
                continue
    os.makedirs(os.path.dirname(b), exist_ok=True)
    with open(b, "wb") as f:
        f.write(data)
    shutil.copymode(a, b)
for root, dirs, names in os.walk(target):
    if root == target:
        dirs[:] = [d for d in dirs if d != "build"]
    for name in names:
        path = os.path.relpath(os.path.join(root, name), target)
        if path not in wanted:
            os.remove(os.path.join(root, name))
' "$1" "$src"
}
mkdir -p "$src"
if [ -n "$rev" ]; then
    rm -rf "$work/export" && mkdir -p "$work/export"
    git -C "$repo" archive "$rev" | tar -x -C "$work/export"
    (cd "$work/export" && find . -type f -printf '%P\0') | sync_tree "$work/export"
    rm -rf "$work/export"
else
    git -C "$tree" ls-files -z -co --exclude-standard | sync_tree "$tree"
fi
echo "mutants.sh: ${#ids[@]} faults on ${rev:-$tree} in $src"

# --- the unmutated tree -------------------------------------------------------
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSPORRIK_WARNINGS_AS_ERRORS=ON -DSPORRIK_TEST_EACH_CASE=ON \
    "${launcher[@]}" \
    >"$work/logs/sanity.log" 2>&1 || die "configuring failed; see $work/logs/sanity.log"
cmake --build "$build" -j"$jobs" >>"$work/logs/sanity.log" 2>&1 ||
    die "the unmutated tree does not build; see $work/logs/sanity.log"

# Each selector is a regex over "<folder>/<test>" (game/ExpertSearch.TakesAWinAtOnce,
# scene_gl/..., e2e/e2e.menus_test). It becomes the tests' numbers for
# ctest -I and the targets that build them: their executables, or everything
# for the end-to-end scripts.
declare -A sel_targets sel_numbers
while IFS=$'\t' read -r selector targets numbers; do
    sel_targets[$selector]=$targets sel_numbers[$selector]=$numbers
done < <(ctest --test-dir "$build" -N --show-only=json-v1 | python3 -c '
import json, os, re, sys
keys = []
for test in json.load(sys.stdin)["tests"]:
    command = test["command"][0]
    name = os.path.basename(command)
    match = re.fullmatch(r"sporrik_(\w+?)_tests", name)
    where = match.group(1) if match else "e2e"
    keys.append((where + "/" + test["name"], name if match else "all"))
for selector in sys.argv[1:]:
    chosen = [(n, target) for n, (key, target) in enumerate(keys, 1) if re.search(selector, key)]
    print(selector, ",".join(sorted({t for _, t in chosen})), ",".join(str(n) for n, _ in chosen), sep="\t")
' "${selectors[@]}")

# The selected tests must pass on the unmutated tree before any fault counts.
all_numbers=$(printf '%s\n' "${sel_numbers[@]}" | tr ',' '\n' | grep . | sort -nu | paste -sd, || true)
if [ -n "$all_numbers" ]; then
    echo "mutants.sh: checking that the $(tr ',' '\n' <<<"$all_numbers" | wc -l) selected tests pass unmutated"
    ctest --test-dir "$build" -I "0,0,0,$all_numbers" -j"$jobs" --timeout "$test_timeout" --output-on-failure \
        >>"$work/logs/sanity.log" 2>&1 ||
        die "the unmutated tree fails its tests; see $work/logs/sanity.log"
fi

# --- the faults, one at a time ------------------------------------------------
original=$work/original
mutated=""
restore() {
    if [ -n "$mutated" ]; then
        cat "$original" >"$mutated" # a fresh mtime: the next build recompiles it
        mutated=""
    fi
}
trap restore EXIT
trap 'exit 130' INT TERM

apply_fault() { # apply_fault <file> <name>: prints why it does not apply
    python3 -c '
import os, sys
path, name, old, new = sys.argv[1], sys.argv[2], os.environ["OLD"], os.environ["NEW"]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    print(f"the text occurs {text.count(old)} times in {name}")
else:
    open(path, "w", encoding="utf-8").write(text.replace(old, new, 1))
' "$@"
}

declare -A count
for i in "${!ids[@]}"; do
    id=${ids[i]} folder=${folders[i]} selector=${selectors[i]} file=$src/${files[i]}
    log=$work/logs/$id.log
    IFS=, read -ra targets <<<"${sel_targets[$selector]}"
    reason=""
    if [ ${#targets[@]} -eq 0 ]; then
        reason="the selector '$selector' matches no test"
    elif [ ! -f "$file" ]; then
        reason="no file ${files[i]}"
    else
        cp "$file" "$original"
        reason=$(OLD=${olds[i]} NEW=${news[i]} apply_fault "$file" "${files[i]}")
        [ -n "$reason" ] || mutated=$file
    fi
    if [ -n "$reason" ]; then
        result=invalid
    elif ! cmake --build "$build" -j"$jobs" --target "${targets[@]}" >"$log" 2>&1; then
        result=invalid reason="does not compile; see $log"
    else
        if ctest --test-dir "$build" -I "0,0,0,${sel_numbers[$selector]}" -j"$jobs" --timeout "$test_timeout" \
            --stop-on-failure --output-on-failure >>"$log" 2>&1; then
            result=missed
        else
            result=caught
        fi
    fi
    restore
    count[$folder.$result]=$((${count[$folder.$result]:-0} + 1))
    count[total.$result]=$((${count[total.$result]:-0} + 1))
    printf '%-26s %-9s %-7s %s%s\n' "$id" "$folder" "$result" "${descriptions[i]}" "${reason:+ [$reason]}"
done

echo
row() { printf '%-10s %7s %7s %7s %7s\n' "$@"; }
row folder caught missed invalid total
for folder in $(printf '%s\n' "${folders[@]}" | awk '!seen[$0]++') total; do
    c=${count[$folder.caught]:-0} m=${count[$folder.missed]:-0} v=${count[$folder.invalid]:-0}
    row "$folder" "$c" "$m" "$v" $((c + m + v))
done
[ $((${count[total.missed]:-0} + ${count[total.invalid]:-0})) -eq 0 ]
