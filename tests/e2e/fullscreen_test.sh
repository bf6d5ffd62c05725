# Without "window" the game takes the whole screen, also where the X server
# cannot switch video modes; the options menu makes it a window and back.
source "$(dirname "$0")/lib.sh"

start_game
wait_window
window_geometry
screen=$(xdotool getdisplaygeometry)
[ "$WIDTH $HEIGHT" = "$screen" ] || fail "window is ${WIDTH}x${HEIGHT}, the screen $screen"
sleep 2
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on its own: $(cat "$game_log")"

# The screen's button: right of the middle, the options menu's second row.
screen_button="712 300"
at() { window_geometry; [ "$X $Y $WIDTH $HEIGHT" = "$*" ]; }
click_at $(menu_button 3)
click_at $screen_button
within 10 at 100 100 1024 768 || fail "no 1024 x 768 window at 100,100 but ${WIDTH}x${HEIGHT} at $X,$Y"
click_at $screen_button
within 10 at 0 0 $screen || fail "not the full screen again but ${WIDTH}x${HEIGHT} at $X,$Y"
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(cat "$game_log")"
echo "fullscreen test passed"
