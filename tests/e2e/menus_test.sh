# The main menu and the new-game menu under real pointer input: captions,
# button looks, the pointer, every transition of the two menus, the heads-up
# display of a started game, Continue after Escape, and Exit.
source "$(dirname "$0")/ui.sh"

# expect_labels <shot> <button> <characters>...: the caption of each named
# new-game button spans that many characters.
expect_labels() {
    local shot=$1
    shift
    while [ $# -gt 0 ]; do
        expect_chars "$shot" "$(button_box $(new_game_button "$1"))" "$2"
        shift 2
    done
}

start_ui
screenshot menus-main
main=$shot

# The logo above the buttons, nothing beside it.
logo_shown "$main" || fail "no logo"
[ "$(text_pixels "$main" 200x100+0+92)" -eq 0 ] || fail "something beside the logo"
# "New Game", "Demo", "Fluid Demo", "Exit": four labels of their lengths;
# "Fluid Demo" is narrowed to the 272 pixels inside its button.
for entry in "0 8" "1 4" "2 10 27.2" "3 4"; do
    set -- $entry
    expect_chars "$main" "$(button_box $(menu_button "$1"))" "$2" "${3:-30.1}"
done

# The pointer image follows the pointer.
xdotool mousemove --window "$window" 150 600
sleep 0.4
screenshot menus-pointer
[ "$(text_pixels "$shot" 24x24+148+600)" -gt 20 ] || fail "no pointer image at the pointer"
[ "$(text_pixels "$shot" 24x24+58+60)" -eq 0 ] || fail "pointer image left behind"
park_pointer

# Under the pointer and pressed, "Demo" changes its look; released outside it
# does nothing.
read -r x y <<<"$(menu_button 1)"
demo_box=$(button_body "$x" "$y")
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
[ "$(differ "$main" "$shot" "$(button_body $(menu_button 0))")" -eq 0 ] || fail "release outside changed the menu"

# "New Game": "Player 1:" Human, "Player 2:" Computer, then the four buttons.
click_at $(menu_button 0)
park_pointer
screenshot menus-new-game
[ "$(differ "$main" "$shot" "$(button_body $(menu_button 0))")" -gt 500 ] || fail "New Game opened nothing"
expect_chars "$shot" "300x64+200+$(($(new_game_button player1 | cut -d' ' -f2) - 32))" 9
expect_labels "$shot" player1 5 player2 8 easy 9 hard 9 expert 11 back 4

# Player 2 made human makes player 1 the computer; then both computers.
click_at $(new_game_button player2)
park_pointer
screenshot menus-toggled
expect_labels "$shot" player1 8 player2 5
click_at $(new_game_button player2)
park_pointer
screenshot menus-two-computers
expect_labels "$shot" player1 8 player2 8
click_at $(new_game_button player1)

# "Back" shows the main menu as it was.
click_at $(new_game_button back)
park_pointer
screenshot menus-back
logo_shown "$shot" || fail "no logo after Back"
[ "$(differ_text "$main" "$shot" 1024x768+0+0)" -eq 0 ] || fail "Back did not return to the main menu"
for i in 0 1 2 3; do
    [ "$(differ "$main" "$shot" "$(button_body $(menu_button "$i"))")" -eq 0 ] || fail "Back changed button $i"
done

# "Hard Game" with player 1 human: the heads-up display with both counts.
click_at $(menu_button 0)
click_at $(new_game_button hard)
park_pointer
sleep 1
screenshot menus-hud
hud=$shot
expect_hud "$hud"
[ "$(text_pixels "$hud" 200x40+824+20)" -gt 0 ] || fail "no frame rate"

# Escape: the main menu again, offering to continue; Continue returns to the game.
escape_to_menu menus-continue
first=$(button_box $(menu_button 0))
expect_chars "$shot" "$first" 8
[ "$(differ "$main" "$shot" "$(button_body $(menu_button 0))")" -gt 500 ] || fail "first button still reads New Game"
[ "$(differ "$main" "$shot" "$(button_body $(menu_button 3))")" -eq 0 ] || fail "Exit changed"
click_at $(menu_button 0)
park_pointer
screenshot menus-continued
expect_hud "$shot"
[ "$(differ_text "$hud" "$shot" 1024x50+0+718)" -eq 0 ] || fail "Continue did not return to the same counts"
xdotool key --window "$window" Escape
sleep 0.5

# "Exit" ends the program with code 0.
click_at $(menu_button 3)
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "menus test passed"
