# The play aids under real pointer and key input: two humans at one table
# taking turns, the reachable fields of a selected figure and H hiding them,
# the last move marked; then a move against the hard computer taken back
# with Backspace. Screenshots go to $SPORRIK_SHOTS as aids-*.png.
source "$(dirname "$0")/lib.sh"

readonly COUNTS=("400x50+0+718" "400x50+624+718")
readonly TURN=400x40+0+20
readonly GREEN='g>0.15 && r<0.4*g && b<0.7*g'
# Window positions under the initial orbit camera: the body of a figure on
# field "i,j", the floor of a field, and the middles of the marks of the
# split fields of a figure on 0,0.
declare -A FIGURE=([0,0]="71 515" [2,2]="336 397" [6,6]="626 267" [8,8]="714 228")
declare -A FLOOR=([1,1]="238 475" [2,2]="348 422" [4,4]="512 344" [5,5]="574 314" [6,6]="627 288")
readonly SPLIT_MARKS=("30x16+163+507" "30x16+203+441" "30x16+108+441")
rm -f "$SPORRIK_SHOTS"/aids-*.png

# await <seconds> <name> <check...>: takes the screenshot aids-<name> until
# the check holds for it; false when the time is up.
await() {
    local seconds=$1 name=aids-$2
    shift 2
    within "$seconds" shot_holds "$name" "$@"
}
shot_holds() {
    screenshot "$1"
    "${@:2}"
}
point() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.4
}
# marks <-gt|-lt> <level>: every split field's mark is brighter or darker than level.
marks() {
    local box
    for box in "${SPLIT_MARKS[@]}"; do
        [ "$(mean_brightness "$shot" "$box")" "$1" "$2" ] || return 1
    done
}
# counts <-eq|-gt> <before>: both counts read as before (-eq 0) or both differ.
counts() {
    local box
    for box in "${COUNTS[@]}"; do
        [ "$(differ_text "$2" "$shot" "$box")" "$1" 0 ] || return 1
    done
}
# The hover marker turns green over a figure whose player may select it.
green_around() {
    local x y
    read -r x y <<<"$1"
    [ "$(convert "$shot" -crop "80x80+$((x - 40))+$((y - 50))" +repage -scale 25% -fx "$GREEN" \
        -format "%[fx:int(w*h*mean)]" info:)" -gt 10 ]
}
await_turn() { # <figure> <name>
    point ${FIGURE[$1]}
    await 30 "$2" green_around "${FIGURE[$1]}" || fail "figure $1 cannot be selected in $2"
}
# move <from> <to> <name>: selects the figure and clicks the floor of the target.
move() {
    await_turn "$1" "$3"
    xdotool click 1
    point ${FLOOR[$2]}
    xdotool click 1
}
menu_shown() {
    logo_shown "$shot"
}
game_shown() {
    logo_gone "$shot" && [ "$(text_pixels "$shot" "${COUNTS[1]}")" -gt 0 ]
}
menu_click() { # <x> <y> <name> <check>
    click_at "$1" "$2"
    park_pointer
    await 20 "$3" "$4" || fail "nothing after the click in $3"
}

start_ui
await 30 main-menu menu_shown || fail "no main menu"
# The second kind button makes player 2 human and leaves player 1 so.
menu_click $(menu_button 0) new-game menu_shown
menu_click $(new_game_button player2) two-humans menu_shown
expect_chars "$shot" "$(button_box $(new_game_button player1))" 5
expect_chars "$shot" "$(button_box $(new_game_button player2))" 5
menu_click $(new_game_button hard) two-humans-started game_shown
start=$shot

# Selected, the figure's split fields are marked; H hides and shows the marks.
await_turn 0,0 first-turn
marks -lt 190 || fail "fields marked before a figure is selected"
first_turn=$shot
xdotool click 1
await 10 selected marks -gt 220 || fail "no split fields marked after the selection"
xdotool key --window "$window" h
await 10 hints-off marks -lt 190 || fail "H left the marks"
xdotool key --window "$window" h
await 10 hints-on marks -gt 220 || fail "H did not bring the marks back"

# The humans take turns, jumping; the caption names the player to move.
point ${FLOOR[2,2]}
xdotool click 1
await_turn 8,8 second-turn
[ "$(differ_text "$first_turn" "$shot" "$TURN")" -gt 0 ] || fail "the caption did not change for player 2"
second_turn=$shot
xdotool click 1
point ${FLOOR[6,6]}
xdotool click 1
move 2,2 4,4 first-again
# Player 2 sees player 1's jump marked once it has landed.
park_pointer
landed() {
    counts -eq "$start" && [ "$(differ_text "$second_turn" "$shot" "$TURN")" -eq 0 ]
}
await 30 last-move-marked landed || fail "player 1's second jump did not land"
# For the eye: beside player 1's figure the move would win it (it pulses),
# and a field out of reach refuses the click (a dim cross).
await_turn 6,6 second-again
xdotool click 1
point ${FLOOR[5,5]}
screenshot aids-would-win
point ${FLOOR[1,1]}
screenshot aids-refused

# A new game needs the running one ended: the demonstration does that.
xdotool key --window "$window" Escape
park_pointer
await 10 escaped menu_shown || fail "no menu after Escape"
menu_click $(menu_button 1) demo game_shown
xdotool key --window "$window" Escape
await 10 demo-left menu_shown || fail "no menu after the demonstration"
menu_click $(menu_button 0) new-game-again menu_shown
menu_click $(new_game_button player2) player2-computer menu_shown
expect_chars "$shot" "$(button_box $(new_game_button player2))" 8
menu_click $(new_game_button hard) hard-started game_shown
start=$shot

# A split against the hard computer, its answer, and Backspace: the counts
# are one each again and the figure is selected again.
move 0,0 1,1 split
park_pointer
await 30 answered counts -gt "$start" || fail "no split and answer"
xdotool key --window "$window" BackSpace
await 10 taken-back counts -eq "$start" || fail "Backspace did not restore the counts"
marks -gt 220 || fail "the figure that moved is not selected again"
await_turn 0,0 play-on

xdotool key --window "$window" Escape
await 10 before-exit menu_shown || fail "no menu before Exit"
click_at $(menu_button 4)
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "play aids passed"
