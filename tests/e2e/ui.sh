# Helpers of the interface tests: the window is moved to the screen's corner,
# so that window and screen coordinates agree and nothing lies off screen.
# Positions follow the menu layout of a 1024 x 768 window.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

readonly UI_WIDTH=1024

# start_ui: starts the game in a window and waits for its first frames.
start_ui() {
    start_game window
    wait_window
    xdotool windowmove "$window" 0 0
    sleep 1
    window_geometry
    [ "$X" -eq 0 ] && [ "$Y" -eq 0 ] || fail "window not moved to the corner: $X,$Y"
    park_pointer
}

# park_pointer: moves the pointer where it covers nothing under test.
park_pointer() {
    xdotool mousemove --window "$window" 60 60
    sleep 0.4
}

# click_at <x> <y>: a left click at window coordinates.
click_at() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.3
    xdotool click 1
    sleep 0.5
}

# menu_button <i>: "x y" of the middle of main-menu button i (0 = top).
menu_button() {
    echo "$((UI_WIDTH / 2)) $(awk -v i="$1" 'BEGIN { printf "%d", 384 * 0.9 - 32 + 80 * i }')"
}

# new_game_button <name>: "x y" of a button of the new-game menu; the kind
# buttons sit right of the middle, beside their labels.
new_game_button() {
    local x=$((UI_WIDTH / 2)) row
    case "$1" in
        player1) x=662 row=0 ;;
        player2) x=662 row=1 ;;
        easy) row=2 ;;
        hard) row=3 ;;
        expert) row=4 ;;
        back) row=5 ;;
    esac
    echo "$x $(awk -v i="$row" 'BEGIN { printf "%d", 384 * 0.8 - 32 + 80 * i }')"
}

# button_box <x> <y>: the crop geometry of a button (300 x 64) around its middle,
# widened by 40 pixels each side for labels longer than the button.
button_box() {
    echo "380x64+$(($1 - 190))+$(($2 - 32))"
}

# button_body <x> <y>: the crop geometry of the opaque middle of a button
# around its middle, caption included, clear of its rounded ends.
button_body() {
    echo "220x40+$(($1 - 110))+$(($2 - 20))"
}

# text_only <shot> <geometry>: the region with only the white text left: near
# full blue, in strokes a few pixels wide that the font outlines in dark, so
# that they stand out from what lies around them. The scene's bright parts
# (lit water, glints, sky) are wide and fade into their surroundings.
text_only() {
    convert "$1" -crop "$2" +repage -channel B -separate +channel \
        \( +clone -morphology TopHat Disk:4 -threshold 30% \) -threshold 90% -compose Multiply -composite "${@:3}"
}

# text_pixels <shot> <geometry>: how many pixels of white text the region holds.
text_pixels() {
    text_only "$1" "$2" -format "%[fx:int(w*h*mean)]" info:
}

# expect_chars <shot> <geometry> <n> [cell]: fails unless the bright text in the
# region spans n cells of the big font (30.1 pixels each, or cell pixels for a
# caption narrowed to fit its button; a glyph leaves a margin).
expect_chars() {
    local box
    box=$(text_only "$1" "$2" -format "%@" info:)
    awk -v w="${box%%x*}" -v n="$3" -v cell="${4:-30.1}" 'BEGIN { exit !(w > (n - 1) * cell && w <= n * cell + 2) }' ||
        fail "text in $2 of $(basename "$1") is ${box%%x*} pixels wide, not $3 characters"
}

# differ_text <a> <b> <geometry>: number of pixels of white text that differ
# in a region, whatever the scene behind does.
differ_text() {
    local a b
    a=$(mktemp --suffix=.png)
    b=$(mktemp --suffix=.png)
    text_only "$1" "$3" "$a"
    text_only "$2" "$3" "$b"
    compare -metric AE "$a" "$b" null: 2>&1 || true
    rm -f "$a" "$b"
}

# differ <a> <b> <geometry>: number of pixels that differ clearly in a region.
# The water behind everything never stands still (caustics, glints, the
# fluid), so faint changes do not count.
differ() {
    compare -fuzz 5% -metric AE "$1[$3]" "$2[$3]" null: 2>&1 || true
}

# Changes of a few per cent that the water makes on its own, lit as brightly
# as the board under it must be to read, stay under this share; a figure, a
# marker or a camera move changes pixels by far more.
readonly SCENE_FUZZ=15

# differ_scene <a> <b> <geometry> [fuzz %]: number of pixels of the scene that
# changed by more than the water changes them on its own; ripples left by a
# splash move the glints by more, so a check while they run passes a larger
# share.
differ_scene() {
    compare -fuzz "${4:-$SCENE_FUZZ}%" -metric AE "$1[$3]" "$2[$3]" null: 2>&1 || true
}

# expect_hud <shot>: the game without the menu, both players' counts along the
# bottom edge.
expect_hud() {
    logo_gone "$1" || fail "menu still on screen over the game"
    expect_chars "$1" "400x50+0+718" 11
    expect_chars "$1" "400x50+624+718" 11
}

# escape_to_menu <name>: Escape from the game, the pointer moved off the
# buttons (a button keeps the look of its click until the pointer moves), and
# a screenshot.
escape_to_menu() {
    xdotool key --window "$window" Escape
    sleep 0.5
    xdotool mousemove --window "$window" 70 70
    sleep 0.4
    screenshot "$1"
}
