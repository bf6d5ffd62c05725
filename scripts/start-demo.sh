#!/usr/bin/env bash
# Starts the demonstration in the Sporrik window given by its id: the main
# menu's "Demos" button, then the first button of the menu it opens, "Demo".
set -euo pipefail
window=$1
eval "$(xdotool getwindowgeometry --shell "$window")"
# The first button's lower edge lies 0.1 screen units above the centre; each
# button is 64 pixels high with a quarter of that as the gap. "Demos" is the
# third button of a menu without a game to continue.
x=$((X + WIDTH / 2))
first=$((Y + HEIGHT / 2 - HEIGHT / 20 - 32))
xdotool mousemove "$x" "$((first + 2 * 80))" click 1
# The demonstrations' menu shows from the frame after the click.
sleep 2
xdotool mousemove "$x" "$first" click 1
