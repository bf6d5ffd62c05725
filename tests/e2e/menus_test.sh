# The main menu and the new-game menu under real pointer input: captions,
# button looks, the pointer, every transition of the two menus, the heads-up
# display of a started game, Continue after Escape, and Exit.
source "$(dirname "$0")/ui.sh"

start_ui
screenshot menus-main
main=$shot

# The logo: bright above the buttons, dark beside it.
[ "$(mean_brightness "$main" 512x128+256+64)" -gt 40 ] || fail "no logo"
[ "$(mean_brightness "$main" 200x128+0+64)" -lt 5 ] || fail "something beside the logo"
# "New Game", "Demo", "Fluid Demo", "Exit": four labels of their lengths.
for entry in "0 8" "1 4" "2 10" "3 4"; do
    set -- $entry
    expect_chars "$main" "$(button_box $(menu_button "$1"))" "$2"
done

# The pointer follows the pointer device.
xdotool mousemove --window "$window" 150 600
sleep 0.4
screenshot menus-pointer
[ "$(mean_brightness "$shot" 24x24+148+600)" -gt 20 ] || fail "no pointer image at the pointer"
[ "$(mean_brightness "$shot" 24x24+58+60)" -lt 5 ] || fail "pointer image left behind"
park_pointer

# Under the pointer and pressed, "Demo" changes its look; released outside it
# does nothing.
read -r x y <<<"$(menu_button 1)"
demo_box=$(button_box "$x" "$y")
xdotool mousemove --window "$window" "$((x - 120))" "$y"
sleep 0.4
screenshot menus-hover
hover=$shot
xdotool mousedown 1
sleep 0.4
screenshot menus-pressed
pressed=$shot
xdotool mousemove --window "$window" 60 60
sleep 0.2
xdotool mouseup 1
sleep 0.4
screenshot menus-released
[ "$(differ "$main" "$hover" "$demo_box")" -gt 500 ] || fail "Demo looks the same under the pointer"
[ "$(differ "$hover" "$pressed" "$demo_box")" -gt 500 ] || fail "Demo looks the same pressed"
[ "$(differ "$main" "$shot" "$demo_box")" -eq 0 ] || fail "Demo did not return to its normal look"
[ "$(differ "$main" "$shot" "$(button_box $(menu_button 0))")" -eq 0 ] || fail "release outside changed the menu"

# "New Game": Player 1 Human (5 letters), Player 2 Computer (8).
click_at $(menu_button 0)
park_pointer
screenshot menus-new-game
new_game=$shot
[ "$(differ "$main" "$new_game" "$(button_box $(menu_button 0))")" -gt 500 ] || fail "New Game opened nothing"
expect_chars "$new_game" "300x64+200+$(($(new_game_button player1 | cut -d' ' -f2) - 32))" 9
expect_chars "$new_game" "$(button_box $(new_game_button player1))" 5
expect_chars "$new_game" "$(button_box $(new_game_button player2))" 8
expect_chars "$new_game" "$(button_box $(new_game_button easy))" 9
expect_chars "$new_game" "$(button_box $(new_game_button hard))" 9
expect_chars "$new_game" "$(button_box $(new_game_button back))" 4

# Player 2 made human makes player 1 the computer.
click_at $(new_game_button player2)
park_pointer
screenshot menus-toggled
expect_chars "$shot" "$(button_box $(new_game_button player1))" 8
expect_chars "$shot" "$(button_box $(new_game_button player2))" 5
click_at $(new_game_button player2)
park_pointer
screenshot menus-two-computers
expect_chars "$shot" "$(button_box $(new_game_button player1))" 8
expect_chars "$shot" "$(button_box $(new_game_button player2))" 8
click_at $(new_game_button player1)

# "Back" shows the main menu as it was.
click_at $(new_game_button back)
park_pointer
screenshot menus-back
[ "$(differ "$main" "$shot" 1024x768+0+0)" -eq 0 ] || fail "Back did not return to the main menu"

# "Hard Game" with player 1 human: the heads-up display with both counts.
click_at $(menu_button 0)
click_at $(new_game_button hard)
park_pointer
sleep 1
screenshot menus-hud
hud=$shot
[ "$(mean_brightness "$hud" 1024x500+0+120)" -lt 3 ] || fail "menu still on screen over the game"
expect_chars "$hud" "400x50+0+718" 11
expect_chars "$hud" "400x50+624+718" 11
[ "$(mean_brightness "$hud" 200x40+824+20)" -gt 3 ] || fail "no frame rate"

# Escape: the main menu again, offering to continue. A button keeps the look
# of its click until the pointer moves again.
xdotool key --window "$window" Escape
sleep 0.5
xdotool mousemove --window "$window" 70 70
sleep 0.4
screenshot menus-continue
continue=$shot
first=$(button_box $(menu_button 0))
expect_chars "$continue" "$first" 8
[ "$(differ "$main" "$continue" "$first")" -gt 500 ] || fail "first button still reads New Game"
[ "$(differ "$main" "$continue" "$(button_box $(menu_button 3))")" -eq 0 ] || fail "Exit changed"
click_at $(menu_button 0)
park_pointer
screenshot menus-continued
[ "$(differ "$hud" "$shot" 1024x700+0+0)" -lt 2000 ] || fail "Continue did not return to the game"
xdotool key --window "$window" Escape
sleep 0.5

# "Exit" ends the program with code 0.
click_at $(menu_button 3)
for _ in $(seq 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "Exit did not end the game"
exit_code=0
wait "$game_pid" || exit_code=$?
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "menus test passed"
