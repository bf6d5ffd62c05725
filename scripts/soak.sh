#!/usr/bin/env bash
# scripts/soak.sh [seconds]: runs the game built with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer on a virtual X server for the
# given time (default 600 s): the first half the demonstration, the second
# half the fluid demo, stirred with every mouse button. It then leaves through
# the menu's Exit, so that the leak check sees the whole teardown, and fails on
# any sanitizer report, a crash or an exit code other than 0.
# The sanitized build (build-sanitize, as scripts/test.sh makes it) is reused
# when it is there; SPORRIK_SOAK_BUILD names another folder.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
[[ "$seconds" =~ ^[0-9]+$ ]] && [ "$seconds" -ge 10 ] || {
    echo "usage: scripts/soak.sh [seconds >= 10]" >&2
    exit 2
}
build=$(realpath -m "${SPORRIK_SOAK_BUILD:-build-sanitize}")

if [ -z "${SOAK_INSIDE_X:-}" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DSPORRIK_SANITIZE=ON -DSPORRIK_WARNINGS_AS_ERRORS=ON
    fi
    grep -q '^SPORRIK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" || {
        echo "soak: $build is not a sanitized build" >&2
        exit 2
    }
    cmake --build "$build" -j"$(nproc)" --target sporrik
    # A server of its own: the soak must not share its screen with other tests.
    SOAK_INSIDE_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$seconds"
fi

export SPORRIK_ASSETS=$build/assets
export SPORRIK_SHOTS=$build/soak
# Leaks are reported at exit; a report of any kind ends the run with a fault.
export ASAN_OPTIONS=detect_leaks=1:exitcode=23
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A virtual server has no sound card: the dummy device lets the samples load
# and play, so that the sound code runs too.
export SDL_AUDIODRIVER=dummy
# The GL driver is unloaded before the leak check; kept loaded, its frames
# keep their names, which the suppressions need.
driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n 1 || true)
asan=$(ldd "$build/sporrik" | awk '/libasan/ { print $3 }')
mkdir -p "$SPORRIK_SHOTS"
export SPORRIK_BIN=$SPORRIK_SHOTS/sporrik-preloaded
preload=""
[ -n "$driver" ] && preload="LD_PRELOAD='$asan $driver'"
printf '#!/bin/sh\n%s exec "%s" "$@"\n' "$preload" "$build/sporrik" >"$SPORRIK_BIN"
chmod +x "$SPORRIK_BIN"
source tests/e2e/lib.sh

# The game's log is kept whatever the outcome.
keep_log() {
    [ -n "${game_log:-}" ] && cp "$game_log" "$SPORRIK_SHOTS/soak.log"
    finish
}
trap keep_log EXIT

# alive <what>: fails when the game has ended.
alive() {
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended during $1: $(tail -n 40 "$game_log")"
}

# menu_shown: whether the main menu shows its first caption.
menu_shown() {
    alive "the way to the menu"
    screenshot soak-menu
    [ "$(text_pixels "$shot" "$(button_box $(menu_button 0))")" -gt 200 ]
}
# to_main_menu: Escape, and waits until the main menu shows (a sanitized build
# on a busy machine may draw a frame a second).
to_main_menu() {
    xdotool key --window "$window" Escape
    within 60 menu_shown || fail "no menu after Escape"
}
demos_shown() {
    alive "the way to the demonstrations"
    screenshot soak-demos
    has_chars "$shot" "$(button_box $(menu_button 0))" 4
}
demo_shown() {
    alive "the start of the demonstration"
    screenshot soak-demo-start
    logo_gone "$shot"
}

# stir <seconds>: sweeps the pointer over the water with the left, middle and
# right buttons held in turn, and taps the water keys now and then.
stir() {
    local until=$((SECONDS + $1)) button=1 i
    while [ "$SECONDS" -lt "$until" ]; do
        xdotool mousemove --window "$window" 300 450 mousedown "$button"
        for i in $(seq 0 20 400); do
            xdotool mousemove --window "$window" $((300 + i)) $((450 - i / 3))
        done
        xdotool mouseup "$button"
        xdotool key --window "$window" F9 F9 comma period
        button=$((button % 3 + 1))
        alive "the fluid demo"
    done
}

start_ui
half=$((seconds / 2))
# Loading takes long in this build on a busy machine, and a click before the
# menu is there is lost.
within 120 menu_shown || fail "no menu after the start"
# Demos, then Demo once that menu shows: its first button reads "Demo".
click_at $(menu_button 2)
within 60 demos_shown || fail "no demonstrations' menu"
click_at $(menu_button 0)
within 60 demo_shown || fail "the demonstration did not start"
park_pointer
for _ in $(seq "$half"); do
    sleep 1
    alive "the demonstration"
done
screenshot soak-demo

# A game between computers is not continued, so the menu reads as at the
# start: the third button is Demos, and Fluid Demo the second of those.
to_main_menu
click_at $(menu_button 2)
within 60 demos_shown || fail "no demonstrations' menu"
click_at $(menu_button 1)
stir $((seconds - half))
screenshot soak-fluid

to_main_menu
click_at $(menu_button 4)
# The sanitized teardown and the leak check take a while.
await_end Exit 120
if grep -Eq 'Sanitizer|runtime error:' "$game_log"; then
    fail "sanitizer report (log in $SPORRIK_SHOTS/soak.log): $(grep -E -m 5 -A 30 'Sanitizer|runtime error:' "$game_log")"
fi
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(tail -n 40 "$game_log")"
echo "soak passed: ${seconds} s with no sanitizer report"
