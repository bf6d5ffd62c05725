# Without "window" the game takes the whole screen, also where the X server
# cannot switch video modes.
source "$(dirname "$0")/lib.sh"

start_game
wait_window
window_geometry
screen=$(xdotool getdisplaygeometry)
[ "$WIDTH $HEIGHT" = "$screen" ] || fail "window is ${WIDTH}x${HEIGHT}, the screen $screen"
sleep 2
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on its own: $(cat "$game_log")"
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(cat "$game_log")"
echo "fullscreen test passed"
