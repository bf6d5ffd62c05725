# "sporrik window" opens a 1024 x 768 window titled Sporrik, keeps drawing, and
# ends with exit code 0 when the window is closed.
source "$(dirname "$0")/lib.sh"

start_game window
wait_window
window_geometry
[ "$WIDTH" -eq 1024 ] && [ "$HEIGHT" -eq 768 ] || fail "window is ${WIDTH}x${HEIGHT}, not 1024x768"
sleep 2
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on its own: $(cat "$game_log")"
screenshot window
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing the window: $(cat "$game_log")"
echo "window test passed"
