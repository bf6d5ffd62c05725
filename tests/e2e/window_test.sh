# "sporrik window" opens a 1024 x 768 window titled Sporrik, keeps drawing, and
# ends with exit code 0 when the window is closed.
source "$(dirname "$0")/lib.sh"

start_game window
wait_window
window_geometry
[ "$WIDTH" -eq 1024 ] && [ "$HEIGHT" -eq 768 ] || fail "window is ${WIDTH}x${HEIGHT}, not 1024x768"
sleep 2
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on its own: $(cat "$game_log")"

# Frames keep coming: the logo is drawn, and the pointer drawn by the game
# follows the mouse.
first="$SPORRIK_SHOTS/window-first.png"
second="$SPORRIK_SHOTS/window-second.png"
xdotool mousemove --window "$window" 100 600
sleep 0.5
import -window "$window" "$first"
logo_shown "$first" || fail "no logo: only $(logo_pixels "$first") of its pixels drawn"
xdotool mousemove --window "$window" 900 600
sleep 0.5
import -window "$window" "$second"
changed=$(compare -metric AE "$first" "$second" null: 2>&1 || true)
[ "${changed%% *}" -gt 0 ] || fail "the picture did not change after the pointer moved"

close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing the window: $(cat "$game_log")"
echo "window test passed"
