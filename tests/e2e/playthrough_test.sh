# A whole session under real pointer and key input: every path of the menus,
# a human game of a few moves against each computer level, every option key
# and camera key of the scene, a small window and back, Escape and Continue,
# and Exit. Every step leaves a numbered screenshot under $SPORRIK_SHOTS and
# is checked against what it must show.
source "$(dirname "$0")/ui.sh"

readonly PLAYER1_COUNT=400x50+0+718
readonly PLAYER2_COUNT=400x50+624+718
# The scene above the heads-up display and below the frame rate.
readonly SCENE=1024x640+0+70
# The board and the water over it, seen from the initial orbit.
readonly BOARD=820x400+100+200
step_number=0

# expect_game <shot>: the scene without the menu, both players' counts along
# the bottom edge.
expect_game() {
    logo_gone "$1" || fail "menu still on screen over the game in $(basename "$1")"
    expect_chars "$1" "$PLAYER1_COUNT" 11
    expect_chars "$1" "$PLAYER2_COUNT" 11
}

# step <name>: the numbered name of the next step's screenshot, in $step.
step() {
    step_number=$((step_number + 1))
    step=$(printf 'playthrough-%02d-%s' "$step_number" "$1")
}

# shot <name>: a numbered screenshot of this step; sets $shot.
shot() {
    step "$1"
    screenshot "$step"
}

# on_screen <i> <j> <z>: window position of a point above field (i, j), 3 units
# in from its lower corner where the figures stand, under the initial orbit
# camera (eye at distance 70, elevation 0.5, looking at (32, 32, -5); 60
# degrees vertical field of view).
on_screen() {
    awk -v i="$1" -v j="$2" -v z="$3" -v W="$WIDTH" -v H="$HEIGHT" 'BEGIN {
        px = i * 64 / 9 + 3; py = j * 64 / 9 + 3
        ex = 32 + 70 * cos(0.5) * cos(1.57075); ey = 32 - 70 * cos(0.5) * sin(1.57075); ez = 70 * sin(0.5)
        fx = 32 - ex; fy = 32 - ey; fz = -5 - ez; n = sqrt(fx * fx + fy * fy + fz * fz)
        fx /= n; fy /= n; fz /= n
        sx = -fy; sy = fx; n = sqrt(sx * sx + sy * sy); sx /= n; sy /= n
        ux = -fz * sy; uy = fz * sx; uz = fx * sy - fy * sx
        dx = px - ex; dy = py - ey; dz = z - ez
        xc = -(dx * sx + dy * sy); yc = dx * ux + dy * uy + dz * uz; zc = dx * fx + dy * fy + dz * fz
        t = sin(0.5235988) / cos(0.5235988)
        printf "%d %d\n", (xc / (zc * t * W / H) + 1) / 2 * W, (1 - yc / (zc * t)) / 2 * H
    }'
}

# colour_pixels <shot> <geometry> <condition>: how many pixels of the region
# (at a quarter size) meet an -fx condition on r, g and b.
colour_pixels() {
    convert "$1" -crop "$2" +repage -scale 25% -fx "$3" -format "%[fx:int(w*h*mean)]" info:
}
# Lit from one side, the spheres reach from black to their full colour.
readonly CRIMSON='r>0.2 && g<0.3*r && b<0.5*r'
readonly GREEN='g>0.15 && r<0.4*g && b<0.7*g'

# expect_more <what> <a> <b>: fails unless a > b.
expect_more() {
    [ "$2" -gt "$3" ] || fail "$1 ($2 <= $3)"
}

# await_change <name> <before> <geometry> <pixels> <fuzz %> <what>: takes the
# step's screenshot until the region differs from before in more pixels than
# given (a busy machine may draw a frame or two a second); fails after 10 s.
await_change() {
    local changed=0
    step "$1"
    for _ in $(seq 30); do
        sleep 0.3
        screenshot "$step"
        changed=$(compare -fuzz "$5%" -metric AE "$2[$3]" "$shot[$3]" null: 2>&1 || true)
        [ "$changed" -gt "$4" ] && return 0
    done
    fail "$6 (only $changed pixels changed)"
}

# option <name> <key> <geometry> <pixels> <what>: taps an option key and
# expects the picture to change, finely for the water's subtler options.
option() {
    local before=$shot
    xdotool key --window "$window" "$2"
    await_change "$1" "$before" "$3" "$4" 2 "$5"
}

# tap <name> <keys...>: taps keys whose effect the picture does not show.
tap() {
    local name=$1
    shift
    xdotool key --window "$window" "$@"
    sleep 0.6
    shot "$name"
}

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

# parked <name>: the step's screenshot once the game draws its pointer image
# where park_pointer left the pointer, so that the frame shows every input
# sent before.
parked() {
    step "$1"
    for _ in $(seq 30); do
        screenshot "$step"
        [ "$(text_pixels "$shot" 24x24+58+60)" -gt 20 ] && return 0
        sleep 0.3
    done
    fail "the pointer image did not follow the pointer"
}

# menu <name> <x> <y>: clicks at a menu position, moves the pointer away and
# takes a screenshot.
menu() {
    local name=$1
    shift
    click_at "$@"
    park_pointer
    parked "$name"
}

# await_turn <i> <j> <name>: waits until a click on player 1's figure on field
# (i, j) would be taken: the hover marker under the pointer turns green once
# the moves are shown and the computer has answered.
await_turn() {
    local x y
    read -r x y <<<"$(on_screen "$1" "$2" 3)"
    xdotool mousemove --window "$window" "$x" "$y"
    for _ in $(seq 40); do
        sleep 0.4
        screenshot turn
        [ "$(colour_pixels "$shot" "80x80+$((x - 40))+$((y - 50))" "$GREEN")" -gt 10 ] && break
    done
    shot "$3"
    [ "$(colour_pixels "$shot" "80x80+$((x - 40))+$((y - 50))" "$GREEN")" -gt 10 ] ||
        fail "no green marker on field ($1, $2): not player 1's turn"
}

# human_move <from i> <from j> <to i> <to j> <name>: player 1 selects a figure
# and moves it; the count of player 1 changes with a split.
human_move() {
    local x y before=$shot
    await_turn "$1" "$2" "$5-turn"
    before=$shot
    xdotool click 1
    read -r x y <<<"$(on_screen "$3" "$4" 0)"
    xdotool mousemove --window "$window" "$x" "$y"
    sleep 0.4
    xdotool click 1
    await_change "$5" "$before" "$BOARD" 1500 "$SCENE_FUZZ" "no figure moves after $5"
}

# human_game <level> <name>: a new game of player 1 against the computer at
# a level, and three moves near player 1's corner that the computer cannot
# reach in time: two splits and a jump.
human_game() {
    menu "$2-new-game" $(menu_button 0)
    menu "$2-started" $(new_game_button "$1")
    expect_game "$shot"
    local start=$shot
    human_move 0 0 1 1 "$2-split"
    human_move 1 1 2 2 "$2-split-again"
    human_move 0 0 2 0 "$2-jump"
    await_turn 2 0 "$2-answered"
    [ "$(differ_text "$start" "$shot" "$PLAYER1_COUNT")" -gt 50 ] || fail "player 1's count did not change in $2"
    [ "$(differ_text "$start" "$shot" "$PLAYER2_COUNT")" -gt 50 ] || fail "the $1 computer did not answer"
}

# to_menu <name>: Escape from the scene to the main menu.
to_menu() {
    xdotool mousemove --window "$window" 150 150
    xdotool key --window "$window" Escape
    sleep 0.5
    park_pointer
    parked "$1"
    [ "$(text_pixels "$shot" 400x50+0+718)" -eq 0 ] || fail "heads-up display left under the menu"
}

rm -f "$SPORRIK_SHOTS"/playthrough-*.png
start_ui
first=$(button_box $(menu_button 0))
# The first frames of a busy machine may come late.
for _ in $(seq 20); do
    screenshot main-menu
    width=$(text_only "$shot" "$first" -format "%@" info: 2>/dev/null)
    width=${width%%x*}
    [ "$width" -gt 211 ] && [ "$width" -le 243 ] && break
    sleep 0.5
done
rm -f "$shot"
shot main-menu
main=$shot
logo_shown "$main" || fail "no logo"
expect_chars "$main" "$first" 8

# The new-game menu: the kinds of both players turn over, Back returns.
menu new-game-menu $(menu_button 0)
expect_chars "$shot" "$(button_box $(new_game_button expert))" 11
menu player2-human $(new_game_button player2)
expect_chars "$shot" "$(button_box $(new_game_button player1))" 8
expect_chars "$shot" "$(button_box $(new_game_button player2))" 5
menu player1-human $(new_game_button player1)
expect_chars "$shot" "$(button_box $(new_game_button player1))" 5
expect_chars "$shot" "$(button_box $(new_game_button player2))" 8
menu back $(new_game_button back)
[ "$(differ_text "$main" "$shot" 1024x768+0+0)" -eq 0 ] || fail "Back did not return to the main menu"

# Fluid Demo: the scene alone; the middle button stirs the water.
menu fluid-demo $(menu_button 2)
fluid=$shot
logo_gone "$fluid" || fail "menu still shown in the fluid demo"
stir
await_change stirred "$fluid" "$BOARD" 1500 "$SCENE_FUZZ" "stirring left the water as it was"
to_menu fluid-demo-left
expect_chars "$shot" "$first" 8

# Demo: two computers play; Escape does not offer to continue their game.
menu demo $(menu_button 1)
demo=$shot
expect_game "$demo"
sleep 3
shot demo-playing
[ "$(differ_text "$demo" "$shot" 1024x50+0+718)" -gt 50 ] || fail "the computers do not play"
to_menu demo-left
[ "$(differ_text "$main" "$shot" "$first")" -eq 0 ] || fail "Continue offered after the demonstration"

# The easy computer; Escape offers Continue, which returns to the game.
human_game easy easy
game=$shot
to_menu easy-escape
[ "$(differ_text "$main" "$shot" "$first")" -gt 500 ] || fail "no Continue in a human game"
menu easy-continued $(menu_button 0)
expect_game "$shot"
[ "$(differ_text "$game" "$shot" 1024x50+0+718)" -eq 0 ] || fail "Continue changed the counts"

# A new game needs the running one ended: the demonstration does that.
to_menu easy-left
menu demo-again $(menu_button 1)
to_menu demo-again-left
human_game hard hard
to_menu hard-left
menu demo-third $(menu_button 1)
to_menu demo-third-left
human_game expert expert
park_pointer
sleep 0.5

# The option keys, each from the same view. Spheres: crimson for player 1,
# green for player 2, none while the figures are models.
shot options-default
default=$shot
option spheres F7 "$BOARD" 3000 "F7 left the figures as they were"
spheres=$shot
expect_more "no crimson spheres" "$(colour_pixels "$spheres" "$BOARD" "$CRIMSON")" \
    $(($(colour_pixels "$default" "$BOARD" "$CRIMSON") + 60))
expect_more "no green spheres" "$(colour_pixels "$spheres" "$BOARD" "$GREEN")" \
    $(($(colour_pixels "$default" "$BOARD" "$GREEN") + 60))
option wireframe F5 "$BOARD" 20000 "wireframe left the board as it was"
option defaults numbersign "$BOARD" 20000 "# did not restore the defaults"
expect_more "spheres after the defaults" $(($(colour_pixels "$default" "$BOARD" "$CRIMSON") + 60)) \
    "$(colour_pixels "$shot" "$BOARD" "$CRIMSON")"

# F8 draws the same pose from the dynamic meshes, which F11 then shows the
# normals of, beside the water's.
tap dynamic-meshes F8
for _ in $(seq 20); do
    grep -q "using dynamic meshes" "$game_log" && break
    sleep 0.3
done
grep -q "using dynamic meshes" "$game_log" || fail "F8 did not switch to dynamic meshes"
option normals F11 "$SCENE" 3000 "F11 drew no normals"
option static-normals F8 "$BOARD" 300 "the figures' normals stayed with static meshes"
option normals-off F11 "$SCENE" 3000 "F11 left the normals"
option no-caustics F3 "$BOARD" 1500 "caustics still on"
option no-fog F4 "$BOARD" 1500 "fog still on"
option added-reflection F6 "$SCENE" 1500 "reflection not added"
option back-to-defaults numbersign "$BOARD" 1500 "# did not restore the water"

# The manual blend value: "," up to 1, "." down to 0.
tap manual-blend F2
blend=$shot
xdotool keydown --window "$window" comma
sleep 0.8
xdotool keyup --window "$window" comma
await_change blend-up "$blend" "$BOARD" 1500 2 "the manual blend value did not change the water"
blend=$shot
xdotool keydown --window "$window" period
sleep 0.8
xdotool keyup --window "$window" period
await_change blend-down "$blend" "$BOARD" 1500 2 "the manual blend value did not change the water"
option automatic-blend F2 "$BOARD" 1500 "F2 did not return to the automatic blend"

# The fluid overlay, freshly stirred, goes and comes back.
stir
shot stirred-again
option no-overlay F9 "$BOARD" 1500 "the fluid overlay did not go"
option overlay F9 "$BOARD" 1500 "the fluid overlay did not come back"

# Slow motion: a split that takes a second takes ten.
tap slow-motion b
counts=$shot
human_move 2 0 3 0 slow-split
sleep 2
shot slow-split-later
[ "$(differ_text "$counts" "$shot" "$PLAYER1_COUNT")" -eq 0 ] || fail "the split was over in two seconds of slow motion"
tap normal-motion b
await_turn 3 0 slow-split-over
[ "$(differ_text "$counts" "$shot" "$PLAYER1_COUNT")" -gt 50 ] || fail "the split did not end after slow motion"
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
tap orbit-camera F1
move_camera orbit-again Left 0.1 5000

# A small window and back: the scene fills it and returns as it was.
xdotool windowsize "$window" 400 300
sleep 1
shot small-window
expect_more "nothing drawn in the small window" "$(mean_brightness "$shot" 400x260+0+20)" 15
expect_more "the small window is not small" 30 "$(mean_brightness "$shot" 600x400+424+368)"
xdotool windowsize "$window" 1024 768
for _ in $(seq 30); do
    sleep 0.3
    screenshot waiting
    [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ] && break
done
window_geometry
[ "$WIDTH" -eq 1024 ] && [ "$HEIGHT" -eq 768 ] || fail "window not back to 1024 x 768: $WIDTH x $HEIGHT"
shot large-again
expect_game "$shot"

# Escape, Continue, Escape and Exit.
to_menu last-escape
menu last-continue $(menu_button 0)
expect_game "$shot"
to_menu before-exit
click_at $(menu_button 3)
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "play-through passed: $step_number screenshots in $SPORRIK_SHOTS"
