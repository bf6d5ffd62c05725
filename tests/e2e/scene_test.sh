# The game on the table under real pointer input: player 1 (human) against
# the hard computer. A click selects the slime in the near corner, the hover
# marker lights the field two steps away, a click there makes it jump with a
# splash, the computer answers, and the heads-up display counts along.
# Escape offers Continue, which returns to the same position; the camera keys
# reach the highest and the lowest view.
source "$(dirname "$0")/ui.sh"

# Window positions under the initial orbit camera: the slime's body in field
# (0, 0) and the middle of field (2, 2) on the board plane.
readonly SLIME="71 515"
readonly TARGET="348 422"
readonly PLAYER1_COUNT=400x50+0+718
readonly PLAYER2_COUNT=400x50+624+718
# The board around the near corner, where the markers and the splash show.
readonly CORNER=420x260+0+320

# hold <key> <seconds>: holds a key down in the game's window.
hold() {
    xdotool keydown --window "$window" "$1"
    sleep "$2"
    xdotool keyup --window "$window" "$1"
    sleep 0.5
}

start_ui
screenshot scene-menu
main=$shot
click_at $(menu_button 0)
click_at $(new_game_button hard)
park_pointer
sleep 1
screenshot scene-default
default=$shot
expect_hud "$default"

# The slime selected: its blue marker; then the hover marker on the target.
read -r x y <<<"$SLIME"
click_at "$x" "$y"
read -r x y <<<"$TARGET"
xdotool mousemove --window "$window" "$x" "$y"
sleep 0.8
screenshot scene-selected
selected=$shot
[ "$(differ_scene "$default" "$selected" "$CORNER")" -gt 3000 ] || fail "no markers after selecting the slime"

# The jump: a splash where the slime takes off, the slime in the air, then
# the computer's answer raises player 2's count.
xdotool click 1
for n in 1 2 3; do
    sleep 0.25
    screenshot "scene-splash-$n"
done
xdotool mousemove --window "$window" 60 60
sleep 5
screenshot scene-answer
answer=$shot
expect_hud "$answer"
[ "$(differ_text "$default" "$answer" "$PLAYER1_COUNT")" -eq 0 ] || fail "a jump changed player 1's count"
[ "$(differ_text "$default" "$answer" "$PLAYER2_COUNT")" -gt 50 ] || fail "the computer did not answer"
[ "$(differ_scene "$default" "$answer" 1024x380+0+200)" -gt 2000 ] || fail "the board looks as at the start"

# Escape: Continue offered; Continue returns to the same position.
escape_to_menu scene-escape
[ "$(differ_text "$main" "$shot" "$(button_box $(menu_button 0))")" -gt 500 ] || fail "no Continue after Escape"
click_at $(menu_button 0)
park_pointer
sleep 0.5
screenshot scene-continued
expect_hud "$shot"
[ "$(differ_text "$answer" "$shot" 1024x50+0+718)" -eq 0 ] || fail "Continue changed the counts"
# The water still ripples from the moves: only changes of more than a quarter
# count, as a figure on another field makes them.
[ "$(differ_scene "$answer" "$shot" 1024x380+0+200 25)" -lt 4000 ] || fail "Continue did not return to the same position"

# The camera: as high and far as it goes, then as low and near.
hold Up 2
hold minus 5
screenshot scene-highest
highest=$shot
hold Down 2.5
hold plus 5
screenshot scene-lowest
lowest=$shot
[ "$(differ "$highest" "$answer" 1024x700+0+0)" -gt 100000 ] || fail "the highest view looks like the default"
[ "$(differ "$lowest" "$answer" 1024x700+0+0)" -gt 100000 ] || fail "the lowest view looks like the default"
# Seen from low down the sky fills the top of the screen; from above, the table.
[ "$(mean_brightness "$lowest" 1024x150+0+0)" -gt "$(mean_brightness "$highest" 1024x150+0+0)" ] ||
    fail "no more sky seen from low down"

xdotool key --window "$window" Escape
sleep 0.5
click_at $(menu_button 3)
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "scene test passed"
