# Helpers of the interface tests: the window is moved to the screen's corner,
# so that window and screen coordinates agree and nothing lies off screen.
# Positions follow the menu layout of a 1024 x 768 window.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

readonly UI_WIDTH=1024
readonly UI_HEIGHT=768

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

# new_game_button <name>: "x y" of a button of the new-game menu.
new_game_button() {
    local row
    case "$1" in
        player1) echo "662 $(awk 'BEGIN { printf "%d", 384 * 0.8 - 32 }')"; return ;;
        player2) echo "662 $(awk 'BEGIN { printf "%d", 384 * 0.8 - 32 + 80 }')"; return ;;
        easy) row=2 ;;
        hard) row=3 ;;
        back) row=4 ;;
    esac
    echo "$((UI_WIDTH / 2)) $(awk -v i="$row" 'BEGIN { printf "%d", 384 * 0.8 - 32 + 80 * i }')"
}

# button_box <x> <y>: the crop geometry of a button (300 x 64) around its middle,
# widened by 40 pixels each side for labels longer than the button.
button_box() {
    echo "380x64+$(($1 - 190))+$(($2 - 32))"
}

# text_width <shot> <geometry>: width in pixels of the bright text in a region.
text_width() {
    local box
    box=$(convert "$1" -crop "$2" +repage -colorspace Gray -threshold 70% -format "%@" info:)
    echo "${box%%x*}"
}

# expect_chars <shot> <geometry> <n>: fails unless the text in the region spans n
# cells of the big font (30.1 pixels each; a glyph leaves a margin).
expect_chars() {
    local width
    width=$(text_width "$1" "$2")
    awk -v w="$width" -v n="$3" 'BEGIN { exit !(w > (n - 1) * 30.1 && w <= n * 30.1 + 2) }' ||
        fail "text in $2 of $(basename "$1") is $width pixels wide, not $3 characters"
}

# differ <a> <b> <geometry>: number of pixels that differ in a region.
differ() {
    compare -metric AE "$1[$3]" "$2[$3]" null: 2>&1 || true
}
