#!/usr/bin/env bash
# Clicks the main menu's "Demo" button of the Sporrik window given by its id.
set -euo pipefail
window=$1
eval "$(xdotool getwindowgeometry --shell "$window")"
# The second button of the main menu: 0.1 screen units above the centre is the
# first button's lower edge; each button is 64 pixels high with a quarter
# of that as the gap.
x=$((X + WIDTH / 2))
y=$((Y + HEIGHT / 2 - HEIGHT / 20 + 80 - 32))
xdotool mousemove "$x" "$y" click 1
