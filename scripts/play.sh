#!/usr/bin/env bash
# Sets everything up on a Debian 12 machine, builds Sporrik and starts it in a
# window. Without an X display it plays the demonstration for a few seconds on
# a virtual X server and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target sporrik

# The game finds build/assets next to itself.
game=(build/sporrik window)
if [ -n "${DISPLAY:-}" ]; then
    exec "${game[@]}"
fi

shot="$PWD/build/sporrik-demo.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -e
    "$@" &
    pid=$!
    for _ in $(seq 50); do
        window=$(xdotool search --name "^Sporrik$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        sleep 0.2
    done
    # The window opens at (100, 100): in the corner all of it is on the screen.
    xdotool windowmove "$window" 0 0
    sleep 1
    scripts/start-demo.sh "$window"
    sleep 6
    import -window root "'"$shot"'"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
' sporrik "${game[@]}"
echo "Screenshot of the demonstration: $shot"
