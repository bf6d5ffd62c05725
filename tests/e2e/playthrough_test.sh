# A whole session under real pointer and key input: every path of the menus,
# two humans taking turns with the play aids (the marked fields of a selected
# figure, H hiding them, the last move marked), the demonstration keeping
# their game, a move against the hard computer taken back with Backspace, a
# few human moves against the easy and the expert computer, every option and
# camera key, a small window and back, Escape, Continue and Exit. Every step leaves a numbered screenshot under
# $SPORRIK_SHOTS and is checked.
source "$(dirname "$0")/lib.sh"

readonly TURN=400x40+0+20
# The scene above the heads-up display and below the frame rate.
readonly SCENE=1024x640+0+70
# The board and the water over it, seen from the initial orbit.
readonly BOARD=820x400+100+200
# Changes the water makes on its own stay under this share; a figure, a
# marker or a camera move changes pixels by far more.
readonly SCENE_FUZZ=15
step_number=0

# expect_game <shot>: the scene without the menu, both players' counts along
# the bottom edge and the frame rate at the top right.
expect_game() {
    logo_gone "$1" || fail "menu still on screen over the game in $(basename "$1")"
    expect_chars "$1" "$PLAYER1_COUNT" 11
    expect_chars "$1" "$PLAYER2_COUNT" 11
    [ "$(text_pixels "$1" 200x40+824+20)" -gt 0 ] || fail "no frame rate in $(basename "$1")"
}

# shot_name <name>: the numbered name of the next step's screenshot, in $step.
shot_name() { step_number=$((step_number + 1)); step=$(printf 'playthrough-%02d-%s' "$step_number" "$1"); }

# shot <name>: a numbered screenshot of this step; sets $shot.
shot() { shot_name "$1"; screenshot "$step"; }

# Window positions under the initial orbit camera: the body of a figure on
# field "i,j", the floor of a field to move to, and the middles of the marks
# of the split fields of a figure on 0,0.
declare -A FIGURE=([0,0]="70 515" [2,0]="287 515" [1,1]="219 448" [3,0]="395 515" [2,2]="336 397" [8,8]="714 228")
declare -A FLOOR=([2,0]="295 548" [1,1]="228 479" [2,2]="340 425" [3,0]="399 548" [4,4]="512 344" [6,6]="627 288")
readonly SPLIT_MARKS=("30x16+163+507" "30x16+203+441" "30x16+108+441")

# Lit from one side, the spheres reach from black to their full colour.
readonly CRIMSON='r>0.2 && g<0.3*r && b<0.5*r'

# changed_from <before> <geometry> <pixels> <fuzz %>: whether the region of
# the shot differs from before in more pixels than given.
changed_from() {
    changed=$(compare -fuzz "$4%" -metric AE "${1}[$2]" "${shot}[$2]" null: 2>&1 || true)
    [ "$changed" -gt "$3" ]
}

# await_change <name> <before> <geometry> <pixels> <fuzz %> <what>
await_change() { await 10 "$1" changed_from "$2" "$3" "$4" "$5" || fail "$6 (only $changed pixels changed)"; }

# texts_match <before> <geometry>: whether the region of the shot reads as
# before; counts_changed: whether the counts in it read otherwise. The same
# text gives the same pixels; a 2 that becomes a 3 changes only about 50.
texts_match() { [ "$(differ_text "$1" "$shot" "$2")" -eq 0 ]; }
counts_changed() { [ "$(differ_text "$1" "$shot" "$2")" -gt 20 ]; }

# option <name> <key> <geometry> <pixels> <what>: taps an option key and
# expects the picture to change, finely for the water's subtler options.
option() { local before=$shot; xdotool key --window "$window" "$2"; await_change "$1" "$before" "$3" "$4" 2 "$5"; }

# tap <name> <keys...>: taps keys whose effect the picture does not show.
tap() { xdotool key --window "$window" "${@:2}"; sleep 0.6; shot "$1"; }

# move_camera <name> <key> <seconds> <pixels>: holds a camera key down and
# expects the picture to move.
move_camera() {
    local before=$shot
    xdotool keydown --window "$window" "$2"
    sleep "$3"
    xdotool keyup --window "$window" "$2"
    await_change "$1" "$before" "$SCENE" "$4" "$SCENE_FUZZ" "$2 did not move the camera"
}

# stir: sweeps the pointer over the water with the middle button held.
stir() {
    xdotool mousemove --window "$window" 350 520 mousedown 2
    for i in $(seq 0 25 300); do
        xdotool mousemove --window "$window" $((350 + i)) $((520 - i / 4))
        sleep 0.05
    done
    xdotool mouseup 2
    park_pointer
}

# parked <name>: the step's screenshot once the pointer image is drawn where
# park_pointer left it: the frame shows every input sent before.
pointer_parked() { [ "$(text_pixels "$shot" 24x24+58+60)" -gt 20 ]; }
parked() { await 10 "$1" pointer_parked || fail "the pointer image did not follow the pointer"; }

# menu <name> <x> <y>: clicks at a menu position, moves the pointer away and
# takes a screenshot once the click has been taken. A new game's figures are
# still appearing then: its counts are read once a player may move.
menu() { press_at "$2" "$3"; move_pointer_away; parked "$1"; }

# await_turn <field> <name>: waits until the figure on the field may move.
await_turn() { await_turn_at ${FIGURE[$1]} "$2"; }

# human_move <from> <to> <name>: a human selects a figure and moves it.
human_move() {
    local before
    await_turn "$1" "$3-turn"
    before=$shot
    xdotool click 1
    move_to "$2" "$3" "$before"
}
# move_to <field> <name> <before>: moves the selected figure to the field and
# waits until the board shows it.
move_to() {
    click_target ${FLOOR[$1]} "$2-target"
    moved_at=$SECONDS
    await_change "$2" "$3" "$BOARD" 1500 "$SCENE_FUZZ" "no figure moves after $2"
}

# marks <-gt|-lt> <level>: every split field's mark is brighter or darker than level.
marks() { boxes "$1" "$2" "${SPLIT_MARKS[@]}"; }

# human_game <level>: from the new-game menu, a game of player 1 against the computer at a
# level, and three moves near player 1's corner: a jump, which leaves player
# 1's count as it was (the computer's first answer lands far away), and two
# splits. Coming two fields a move from the far corner, the computer reaches
# them with its third answer at the earliest, and takes one figure at most.
human_game() {
    menu "$1-started" $(new_game_button "$1")
    expect_game "$shot"
    await_turn 0,0 "$1-ready"
    local start=$shot
    human_move 0,0 2,0 "$1-jump"
    await_turn 2,0 "$1-jumped"
    [ "$(differ_text "$start" "$shot" "$PLAYER1_COUNT")" -eq 0 ] || fail "the jump changed player 1's count in $1"
    human_move 2,0 1,1 "$1-split"
    human_move 1,1 2,2 "$1-split-again"
    # Player 1's turn again: the computer has answered. Its count alone does
    # not tell, as an answer that jumps keeps it.
    await_turn 2,0 "$1-answered"
    counts_changed "$start" "$PLAYER1_COUNT" || fail "player 1's count did not change in $1"
}

# to_menu <name>: Escape from the scene to the main menu.
to_menu() {
    xdotool mousemove --window "$window" 150 150
    xdotool key --window "$window" Escape
    sleep 0.5
    move_pointer_away
    parked "$1"
    [ "$(text_pixels "$shot" 400x50+0+718)" -eq 0 ] || fail "heads-up display left under the menu"
}

rm -f "$SPORRIK_SHOTS"/playthrough-*.png
start_ui
first=$(button_box $(main_button 0))
# The pointer image drawn where it was parked shows a frame after it moved. A
# motion sent while the game was still starting up may be lost: until the
# image follows, each look moves the pointer anew.
main_menu_drawn() {
    pointer_parked && has_chars "$shot" "$first" 8 && return 0
    xdotool mousemove --window "$window" 90 90
    park_pointer
    return 1
}
await 30 main-menu main_menu_drawn || fail "no New Game in the first button, or no pointer image"
main=$shot
logo_shown "$main" || fail "no logo"
# New Game, Network Game, Games, Demos, Options, Exit; no Continue without a game.
expect_chars "$main" "$(button_box $(main_button 1))" 12
for entry in "1 5" "2 5" "3 7" "4 4"; do
    set -- $entry
    expect_chars "$main" "$(button_box $(menu_button "$1"))" "$2" "${3:-30.1}"
done

# The new-game menu: "Player 1:" beside the kind buttons, the captions; a
# kind button turns over its own player only, Back returns.
menu new-game-menu $(main_button 0)
expect_chars "$shot" "300x64+200+243" 9
for entry in "player1 5" "player2 8" "easy 9" "hard 9" "expert 11" "back 4"; do
    set -- $entry
    expect_chars "$shot" "$(button_box $(new_game_button "$1"))" "$2"
done
menu back $(new_game_button back)
await 10 back-main texts_match "$main" 1024x768+0+0 || fail "Back did not return to the main menu"

# Fluid Demo, the second of the demonstrations: the scene alone; the middle
# button stirs the water. "Fluid Demo" is narrowed to the 272 pixels inside
# its button.
menu demos-menu $(menu_button 2)
expect_chars "$shot" "$(button_box $(menu_button 1))" 10 27.2
menu fluid-demo $(menu_button 1)
fluid=$shot
logo_gone "$fluid" || fail "menu still shown in the fluid demo"
stir
await_change stirred "$fluid" "$BOARD" 1500 "$SCENE_FUZZ" "stirring left the water as it was"
to_menu fluid-demo-left

# Two humans at one table (player 2 made human beside player 1), taking
# turns. A selected figure's split fields are marked; H hides and shows them.
menu humans-new-game $(main_button 0)
# kinds <player 1's> <player 2's>: the kind buttons' captions' lengths.
kinds() {
    expect_chars "$shot" "$(button_box $(new_game_button player1))" "$1"
    expect_chars "$shot" "$(button_box $(new_game_button player2))" "$2"
}
menu player2-human $(new_game_button player2)
kinds 5 5
menu humans-started $(new_game_button hard)
expect_game "$shot"
# The list of moves stays hidden from here on: the checks watch the board.
xdotool key --window "$window" l
await_turn 0,0 humans-first-turn
start=$shot
marks -lt 190 || fail "fields marked before a figure is selected"
first_turn=$shot
xdotool click 1
await 10 selected marks -gt 220 || fail "no split fields marked after the selection"
xdotool key --window "$window" h
await 10 hints-off marks -lt 190 || fail "H left the marks"
xdotool key --window "$window" h
await 10 hints-on marks -gt 220 || fail "H did not bring the marks back"
# The caption names the player to move; player 2 sees player 1's jump marked
# once it has landed.
move_to 2,2 humans-jump "$shot"
await_turn 8,8 humans-second-turn
[ "$(differ_text "$first_turn" "$shot" "$TURN")" -gt 0 ] || fail "the caption did not change for player 2"
second_turn=$shot
xdotool click 1
move_to 6,6 humans-second-jump "$shot"
human_move 2,2 4,4 humans-first-again
park_pointer
landed() { counts -eq "$start" && texts_match "$second_turn" "$TURN"; }
await 30 last-move-marked landed || fail "player 1's second jump did not land"
to_menu humans-escape
[ "$(differ_text "$main" "$shot" "$first")" -gt 500 ] || fail "no Continue in a human game"

# Demo: two computers play while the humans' game waits; Escape offers
# Continue for it (Continue, New Game, Games, Demos, Options, Exit).
menu demos $(menu_button 3)
menu demo $(menu_button 0)
expect_game "$shot"
# The counts to compare with once the first figures have appeared.
sleep 1
shot demo-begun
demo=$shot
await 20 demo-playing counts_changed "$demo" 1024x50+0+718 || fail "the computers do not play"
to_menu demo-left
[ "$(differ_text "$main" "$shot" "$first")" -gt 500 ] || fail "the demonstration lost the humans' game"

# A split against the hard computer (player 2 a computer again), its answer,
# and Backspace: the counts read as at the start, the figure is selected again.
menu hard-new-game $(main_button 1)
menu player2-computer $(new_game_button player2)
kinds 5 8
menu hard-started $(new_game_button hard)
await_turn 0,0 hard-ready
start=$shot
human_move 0,0 1,1 hard-split
park_pointer
await 30 answered counts -gt "$start" || fail "no split and answer"
xdotool key --window "$window" BackSpace
await 10 taken-back counts -eq "$start" || fail "Backspace did not restore the counts"
marks -gt 220 || fail "the figure that moved is not selected again"
await_turn 0,0 play-on
# The first Escape drops the selection that take-back restored.
xdotool key --window "$window" Escape
to_menu hard-left

# The easy computer; Escape offers Continue, which returns to the game.
menu easy-new-game $(main_button 1)
human_game easy
# The answer's last conversion grows on after the turn has passed: the counts
# are taken once three shots in a row read the same.
counts_settled() {
    if [ -f "$counts_seen" ] && texts_match "$counts_seen" 1024x50+0+718; then
        settled_shots=$((settled_shots + 1))
    else
        settled_shots=0
    fi
    cp "$shot" "$counts_seen"
    [ "$settled_shots" -ge 2 ]
}
counts_seen=$(mktemp -u --suffix=.png)
temporary+=("$counts_seen")
settled_shots=0
await 30 easy-settled counts_settled || fail "the counts did not settle after the easy computer's answer"
game=$shot
to_menu easy-escape
[ "$(differ_text "$main" "$shot" "$first")" -gt 500 ] || fail "no Continue in a human game"
menu easy-continued $(main_button 0)
expect_game "$shot"
[ "$(differ_text "$game" "$shot" 1024x50+0+718)" -eq 0 ] || fail "Continue changed the counts"

# New Game beside Continue. The expert thinks on a thread of its own while
# the scene runs.
to_menu easy-left
menu expert-new-game $(main_button 1)
human_game expert
park_pointer
sleep 0.5

# The option keys, each from the same view. Spheres: crimson for player 1,
# green for player 2, none while the figures are models.
shot options-default
default=$shot
# The spheres themselves are awaited: ripples alone can change the board by
# as many pixels as the switch does.
crimson_default=$(colour_pixels "$default" "$BOARD" "$CRIMSON")
green_default=$(colour_pixels "$default" "$BOARD" "$GREEN")
spheres_shown() {
    [ "$(colour_pixels "$shot" "$BOARD" "$CRIMSON")" -gt $((crimson_default + 60)) ] &&
        [ "$(colour_pixels "$shot" "$BOARD" "$GREEN")" -gt $((green_default + 60)) ]
}
xdotool key --window "$window" F7
await 10 spheres spheres_shown || fail "F7 drew no crimson and green spheres"
option wireframe F5 "$BOARD" 20000 "wireframe left the board as it was"
option defaults numbersign "$BOARD" 20000 "# did not restore the defaults"
# The wireframe may go a frame before the spheres do on a busy machine.
models_again() { [ "$(colour_pixels "$shot" "$BOARD" "$CRIMSON")" -lt $((crimson_default + 60)) ]; }
await 10 models-again models_again || fail "spheres after the defaults"

# F8 draws the same pose from the dynamic meshes, which F11 then shows the
# normals of, beside the water's.
tap dynamic-meshes F8
within 10 grep -q "using dynamic meshes" "$game_log" || fail "F8 did not switch to dynamic meshes"
option normals F11 "$SCENE" 3000 "F11 drew no normals"
option static-normals F8 "$BOARD" 300 "the figures' normals stayed with static meshes"
option normals-off F11 "$SCENE" 3000 "F11 left the normals"
option no-caustics F3 "$BOARD" 1500 "caustics still on"
option no-fog F4 "$BOARD" 1500 "fog still on"
option added-reflection F6 "$SCENE" 1500 "reflection not added"
option back-to-defaults numbersign "$BOARD" 1500 "# did not restore the water"

# The manual blend value: "," up to 1, "." down to 0.
tap manual-blend F2
for key in comma period; do
    blend=$shot
    xdotool keydown --window "$window" $key
    sleep 0.8
    xdotool keyup --window "$window" $key
    await_change "blend-$key" "$blend" "$BOARD" 1500 2 "$key did not change the manual blend value"
done
option automatic-blend F2 "$BOARD" 1500 "F2 did not return to the automatic blend"

# The fluid overlay, freshly stirred, goes and comes back.
stir
shot stirred-again
option no-overlay F9 "$BOARD" 1500 "the fluid overlay did not go"
option overlay F9 "$BOARD" 1500 "the fluid overlay did not come back"

# Slow motion: a split that takes a second takes ten, so the count has not
# changed two seconds after the click; a machine too busy to look within
# seven cannot tell.
tap slow-motion b
counts=$shot
human_move 2,0 3,0 slow-split
sleep 2
shot slow-split-later
if [ $((SECONDS - moved_at)) -lt 7 ]; then
    [ "$(differ_text "$counts" "$shot" "$PLAYER1_COUNT")" -eq 0 ] || fail "the split was over in two seconds of slow motion"
else
    echo "slow motion not checked: the screenshot came $((SECONDS - moved_at)) s after the click" >&2
fi
tap normal-motion b
await_turn 3,0 slow-split-over
counts_changed "$counts" "$PLAYER1_COUNT" || fail "the split did not end after slow motion"
park_pointer
shot camera-start

# The orbit camera: each key moves the picture.
for entry in "Left 0.6" "Right 0.6" "Up 0.8" "Down 0.8" "minus 1.5" "plus 1.5"; do
    set -- $entry
    move_camera "orbit-$1" "$1" "$2" 20000
done

# The free camera: F1, then the arrows turn and the letters move it.
tap free-camera F1
for entry in "Left 0.4" "Right 0.4" "Up 0.4" "Down 0.4" "w 0.5" "s 0.5" "a 0.5" "d 0.5" "q 0.5" "e 0.5"; do
    set -- $entry
    move_camera "free-$1" "$1" "$2" 5000
done

# A small window and back: the scene fills it, and nothing beyond it, and
# returns as it was.
small_drawn() { [ "$(mean_brightness "$shot" 400x260+0+20)" -gt 15 ] && [ "$(mean_brightness "$shot" 600x400+424+368)" -lt 30 ]; }
xdotool windowsize "$window" 400 300
await 10 small-window small_drawn || fail "the scene does not fill the small window alone"
xdotool windowsize "$window" 1024 768
count_drawn() { [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ]; }
await 10 large-again count_drawn || fail "no heads-up display after the window grew back"
window_geometry
[ "$WIDTH" -eq 1024 ] && [ "$HEIGHT" -eq 768 ] || fail "window not back to 1024 x 768: $WIDTH x $HEIGHT"
expect_game "$shot"

# Escape and Exit, the last of seven buttons.
to_menu before-exit
click_at $(menu_button 5)
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "play-through passed: $step_number screenshots in $SPORRIK_SHOTS"
