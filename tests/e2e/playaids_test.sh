# The play aids under real pointer and key input: two humans at one table,
# each moving, the reachable fields of a selected figure and H hiding them,
# the last move marked; then a move against the hard computer taken back
# with Backspace. Screenshots go to $SPORRIK_SHOTS as aids-*.png.
source "$(dirname "$0")/lib.sh"

readonly PLAYER1_COUNT=400x50+0+718
readonly PLAYER2_COUNT=400x50+624+718
readonly TURN=400x40+0+20
readonly GREEN='g>0.15 && r<0.4*g && b<0.7*g'

# Window positions under the initial orbit camera: the body of a figure on
# field "i,j", the floor of a field, and the middle of the mark a split
# field gets.
declare -A FIGURE=([0,0]="71 515" [2,2]="336 397" [4,4]="507 320" [6,6]="626 267" [8,8]="714 228")
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
    shift
    "$@"
}

point() {
    xdotool mousemove --window "$window" "$1" "$2"
}

# Every split field of a figure on 0,0 bright with its mark, or none.
brightness_of_marks() {
    local box
    for box in "${SPLIT_MARKS[@]}"; do
        echo "$(mean_brightness "$shot" "$box")"
    done
}
hints_shown() {
    local level
    for level in $(brightness_of_marks); do
        [ "$level" -gt 220 ] || return 1
    done
}
hints_gone() {
    local level
    for level in $(brightness_of_marks); do
        [ "$level" -lt 190 ] || return 1
    done
}

# The hover marker under the pointer turns green where a click is taken:
# on a figure of the player to move, once the moves are shown.
green_around() {
    local x y
    read -r x y <<<"$1"
    [ "$(convert "$shot" -crop "80x80+$((x - 40))+$((y - 50))" +repage -scale 25% -fx "$GREEN" \
        -format "%[fx:int(w*h*mean)]" info:)" -gt 10 ]
}
# await_turn <figure> <name>: points at the figure until a click would select it.
await_turn() {
    point ${FIGURE[$1]}
    await 30 "$2" green_around "${FIGURE[$1]}" || fail "figure $1 cannot be selected in $2"
}

# move <from> <to> <name>: selects the figure and clicks the floor of the target.
move() {
    await_turn "$1" "$3-turn"
    xdotool click 1
    sleep 0.4
    point ${FLOOR[$2]}
    sleep 0.4
    xdotool click 1
}

counts_as() {
    [ "$(differ_text "$1" "$shot" "$PLAYER1_COUNT")" -eq 0 ] && [ "$(differ_text "$1" "$shot" "$PLAYER2_COUNT")" -eq 0 ]
}
counts_differ() {
    [ "$(differ_text "$1" "$shot" "$PLAYER1_COUNT")" -gt 0 ] && [ "$(differ_text "$1" "$shot" "$PLAYER2_COUNT")" -gt 0 ]
}
turn_differs() {
    [ "$(text_pixels "$shot" "$TURN")" -gt 0 ] && [ "$(differ_text "$1" "$shot" "$TURN")" -gt 0 ]
}
menu_shown() {
    logo_shown "$shot"
}
game_shown() {
    logo_gone "$shot" && [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ]
}
# menu_click <x> <y> <name> <check>: clicks a menu position, parks the pointer
# and waits for the check.
menu_click() {
    click_at "$1" "$2"
    park_pointer
    await 20 "$3" "$4" || fail "nothing after the click in $3"
}

start_ui
await 30 main-menu menu_shown || fail "no main menu"

# Two humans: the second kind button makes player 2 human and leaves player 1 so.
menu_click $(menu_button 0) new-game menu_shown
menu_click $(new_game_button player2) two-humans menu_shown
expect_chars "$shot" "$(button_box $(new_game_button player1))" 5
expect_chars "$shot" "$(button_box $(new_game_button player2))" 5
menu_click $(new_game_button hard) two-humans-started game_shown
start=$shot

# Selected, the figure's split and jump fields are marked; H hides and shows them.
await_turn 0,0 first-turn
hints_gone || fail "fields marked before a figure is selected"
first_turn=$shot
xdotool click 1
await 10 selected hints_shown || fail "no split fields marked after the selection"
xdotool key --window "$window" h
await 10 hints-off hints_gone || fail "H left the marks"
xdotool key --window "$window" h
await 10 hints-on hints_shown || fail "H did not bring the marks back"

# The humans take turns, jumping; the caption names the player to move.
point ${FLOOR[2,2]}
sleep 0.4
xdotool click 1
await_turn 8,8 second-turn
turn_differs "$first_turn" || fail "the caption did not change for player 2"
second_turn=$shot
xdotool click 1
sleep 0.4
point ${FLOOR[6,6]}
sleep 0.4
xdotool click 1
move 2,2 4,4 first-again
# Player 2 sees player 1's jump marked once it has landed; over a field
# beside it, the figure the move would win pulses.
park_pointer
jump_landed() {
    counts_as "$start" && [ "$(differ_text "$second_turn" "$shot" "$TURN")" -eq 0 ]
}
await 30 last-move-marked jump_landed || fail "player 1's second jump did not land"
await_turn 6,6 second-again
xdotool click 1
sleep 0.4
point ${FLOOR[5,5]}
sleep 1
# For the eye: the pulse, and the refused cross beside the marks.
screenshot aids-would-win
point ${FLOOR[1,1]}
sleep 1
screenshot aids-refused
counts_as "$start" || fail "the jumps changed the counts"

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
# are back at one each and the figure is selected again.
move 0,0 1,1 split
park_pointer
await 30 answered counts_differ "$start" || fail "no split and answer"
xdotool key --window "$window" BackSpace
await 10 taken-back counts_as "$start" || fail "Backspace did not restore the counts"
hints_shown || fail "the figure that moved is not selected again"
await_turn 0,0 play-on

xdotool key --window "$window" Escape
await 10 before-exit menu_shown || fail "no menu before Exit"
click_at $(menu_button 3)
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "play aids passed"
