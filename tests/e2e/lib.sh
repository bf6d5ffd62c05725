# Helpers of the end-to-end tests: start the game on the test run's X server,
# find its window, drive it, look at it and close it. Positions follow the
# menu layout of a 1024 x 768 window in the screen's corner.
set -euo pipefail

: "${SPORRIK_BIN:?run through ctest}"
: "${DISPLAY:?the end-to-end tests need an X display; run them under xvfb-run}"
mkdir -p "$SPORRIK_SHOTS"

fail() { echo "FAIL: $*" >&2; exit 1; }

# However the script ends, a failed check or an error, the game ends with it
# (outright: it may be a game that ignores SIGTERM), or it would keep ctest
# waiting on its output; the files in $temporary go too.
temporary=()
finish() {
    [ -z "${game_pid:-}" ] || kill -KILL "$game_pid" 2>/dev/null || true
    rm -rf "${temporary[@]}"
}
trap finish EXIT

# Settings, the game in progress and the kept games are in folders of this
# run only, so that no test starts from what another left behind.
XDG_CONFIG_HOME=$(mktemp -d)
XDG_STATE_HOME=$(mktemp -d)
XDG_DATA_HOME=$(mktemp -d)
export XDG_CONFIG_HOME XDG_STATE_HOME XDG_DATA_HOME
temporary+=("$XDG_CONFIG_HOME" "$XDG_STATE_HOME" "$XDG_DATA_HOME")

# within <seconds> <command...>: runs the command until it succeeds, a busy
# machine may draw a frame or two a second; false when the time is up.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.3
    done
}

# The games draw at most this often: a screenshot a poll needs no more, and
# the processor is left to the work beside the tests.
readonly FRAME_CAP=fps=10

# start_game <arguments...>: starts the game with the generated assets.
start_game() {
    game_log=$(mktemp)
    temporary+=("$game_log")
    "$SPORRIK_BIN" "path=$SPORRIK_ASSETS" "$FRAME_CAP" "$@" 2>"$game_log" &
    game_pid=$!
}

# start_game_at <asset directory>: starts the game in a window on those assets.
start_game_at() { SPORRIK_ASSETS=$1 start_game window; }
running() { kill -0 "$game_pid" 2>/dev/null; }

# wait_window: sets $window to the id of the game's window.
find_window() {
    window=$(xdotool search --onlyvisible --name "^Sporrik$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    running || fail "the game ended before showing a window: $(cat "$game_log")"
    return 1
}
wait_window() { within 30 find_window || fail "no window titled Sporrik"; }
# window_geometry: sets WIDTH, HEIGHT, X and Y of $window.
window_geometry() { eval "$(xdotool getwindowgeometry --shell "$window")"; }

# screenshot <name>: saves the screen and sets $shot to its path. A picture
# cut short (the server busy) is taken again: a crop of it would be empty.
# zlib's quickest level (-quality 10) makes a screenshot in a sixth of the
# default's time, for a file a quarter larger.
screenshot() {
    shot="$SPORRIK_SHOTS/$1.png"
    local screen
    screen=$(xdotool getdisplaygeometry | tr ' ' x)
    for _ in 1 2 3; do
        import -window root -quality 10 "$shot" &&
            [ "$(identify -ping -format %wx%h "$shot" 2>/dev/null)" = "$screen" ] && return 0
        sleep 0.3
    done
    fail "no whole screenshot $1"
}

# await <seconds> <name> <check...>: takes the screenshot of the step the
# script's shot_name names until the check holds for it; false when the time
# is up.
await() { shot_name "$2"; within "$1" shot_holds "${@:3}"; }
shot_holds() { screenshot "$step"; "$@"; }

# mean_brightness <file> [geometry]: mean grey level 0..255 of the picture or of a region.
mean_brightness() {
    local crop=()
    [ $# -gt 1 ] && crop=(-crop "$2")
    convert "$1" "${crop[@]}" -colorspace Gray -format "%[fx:int(255*mean)]" info:
}
# boxes <-gt|-lt> <level> <geometry...>: every region of the shot is brighter
# or darker than the level; a selected figure's split fields are marked bright.
boxes() {
    local box
    for box in "${@:3}"; do
        [ "$(mean_brightness "$shot" "$box")" "$1" "$2" ] || return 1
    done
}

# colour_pixels <shot> <geometry> <condition>: how many pixels of the region
# (at a quarter size) meet an -fx condition on r, g and b.
colour_pixels() { convert "$1" -crop "$2" +repage -scale 25% -fx "$3" -format "%[fx:int(w*h*mean)]" info:; }
readonly GREEN='g>0.15 && r<0.4*g && b<0.7*g'
# await_turn_at <x> <y> <name>: waits until a click on the figure whose body
# is at x, y would be taken: the hover marker under the pointer turns green
# once the moves are shown and the computer has answered.
await_turn_at() {
    xdotool mousemove --window "$window" "$1" "$2"
    await 30 "$3" green_at "80x80+$(($1 - 40))+$(($2 - 50))" || fail "no green marker at $1,$2 in $3: not its player's turn"
}
green_at() { [ "$(colour_pixels "$shot" "$1" "$GREEN")" -gt 10 ]; }
# click_target <x> <y> <name>: clicks the floor of the selected figure's
# target once its marker turns green. A selection made while the last move's
# animation plays waits behind it, and until then the target refuses clicks.
click_target() {
    xdotool mousemove --window "$window" "$1" "$2"
    await 30 "$3" green_at "80x80+$(($1 - 40))+$(($2 - 40))" || fail "the field at $1,$2 does not take the move in $3"
    xdotool click 1
}

# The menus' logo where a 1024 x 768 window in the corner draws it.
readonly LOGO_BOX=512x128+256+64
logo_file() { echo "$SPORRIK_ASSETS/textures/menu/spr2-logo.png"; }

# logo_pixels <shot>: how many of the logo's opaque pixels the picture shows
# in the logo's own colours. The scene behind a menu shows only through the
# logo's transparent parts, so this holds however the scene is lit.
logo_pixels() {
    local logo
    logo=$(logo_file)
    convert "$1" -crop "$LOGO_BOX" +repage \( "$logo" -background black -alpha remove \) \
        -compose Difference -composite -separate -evaluate-sequence max -threshold 8% -negate \
        \( "$logo" -alpha extract -threshold 99% \) -compose Multiply -composite \
        -format "%[fx:int(w*h*mean)]" info:
}

# logo_opaque: how many pixels of the logo are opaque.
logo_opaque() { convert "$(logo_file)" -alpha extract -threshold 99% -format "%[fx:int(w*h*mean)]" info:; }
# logo_shown <shot>: true when nearly all of the logo is on screen;
# logo_gone <shot>: true when hardly any of it is (the scene may match a few
# of its pixels by chance).
logo_shown() { [ $(($(logo_pixels "$1") * 10)) -gt $(($(logo_opaque) * 9)) ]; }
logo_gone() { [ $(($(logo_pixels "$1") * 10)) -lt "$(logo_opaque)" ]; }

# await_end <what> [seconds]: waits up to the seconds (default 30) for the
# game to end after what, and sets $exit_code.
ended() { ! running; }
await_end() {
    within "${2:-30}" ended || fail "the game did not end after $1"
    exit_code=0
    wait "$game_pid" || exit_code=$?
}

# close_game: sends WM_DELETE_WINDOW, as a window manager's close button
# does, and sets $exit_code when the game has ended.
close_game() {
    "$SPORRIK_CLOSE_WINDOW" "$window"
    await_end "the close request"
}

# joined_log: the game's log with the continuation lines of long messages
# (cut at 80 characters, ending in a backslash) joined back into one line.
joined_log() { sed -e ':a' -e '/\\$/N; s/\\\n[^:]*://; ta' "$game_log"; }

# start_ui: starts the game in a window; place_window: waits for it, checks
# its size (1024 x 768) and moves it to the screen's corner, so that window
# and screen coordinates agree.
start_ui() { start_game window; place_window; }
in_corner() { window_geometry; [ "$X" -eq 0 ] && [ "$Y" -eq 0 ]; }
place_window() {
    wait_window
    xdotool windowmove "$window" 0 0
    within 5 in_corner || fail "window not moved to the corner: $X,$Y"
    [ "$WIDTH" -eq 1024 ] && [ "$HEIGHT" -eq 768 ] || fail "window is ${WIDTH}x${HEIGHT}, not 1024x768"
    park_pointer
}

# park_pointer: moves the pointer where it covers nothing under test and
# gives the game time to draw it there; move_pointer_away only moves it, for
# a caller that polls the picture itself.
move_pointer_away() { xdotool mousemove --window "$window" 60 60; }
park_pointer() { move_pointer_away; sleep 0.4; }

# click_at <x> <y>: a left click at window coordinates, with time for the
# game to take it; press_at leaves the waiting to a caller that polls.
press_at() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.3
    xdotool click 1
}
click_at() { press_at "$@"; sleep 0.5; }

# menu_button <i>: "x y" of the middle of button i (0 = top) of the menus
# whose rows start below the logo's place (new game, demos, games, options),
# and of the main menu's buttons after New Game, which stand in the same
# places: Games, Demos, Options, Exit (1 to 4, one more while Continue is
# shown).
menu_button() { echo "512 $((313 + 80 * $1))"; }
# main_button <i>: the main menu's row i from its top, which stands higher to
# hold Continue, New Game and Network Game above those: Continue (while there
# is a game to continue) or New Game is 0.
main_button() { echo "512 $((232 + 80 * $1))"; }

# new_game_button <name>: "x y" of a button of the new-game menu; the kind
# buttons sit right of the middle, beside their labels.
new_game_button() {
    local x=512 row
    case "$1" in
        player1) x=662 row=0 ;;
        player2) x=662 row=1 ;;
        easy) row=2 ;;
        hard) row=3 ;;
        expert) row=4 ;;
        back) row=5 ;;
    esac
    echo "$x $((275 + 80 * row))"
}

# button_box <x> <y>: the crop geometry of a button (300 x 64) around its middle,
# widened by 40 pixels each side for labels longer than the button.
button_box() { echo "380x64+$(($1 - 190))+$(($2 - 32))"; }

# text_only <shot> <geometry>: the region with only the white text left: near
# full blue, in strokes a few pixels wide that the font outlines in dark, so
# that they stand out from what lies around them. The scene's bright parts
# (lit water, glints, sky) are wide and fade into their surroundings.
text_only() {
    convert "$1" -crop "$2" +repage -channel B -separate +channel \
        \( +clone -morphology TopHat Disk:4 -threshold 30% \) -threshold 90% -compose Multiply -composite "${@:3}"
}

# text_pixels <shot> <geometry>: how many pixels of white text the region holds.
text_pixels() { text_only "$1" "$2" -format "%[fx:int(w*h*mean)]" info:; }

# text_width <shot> <geometry>: how wide the white text in the region
# reaches, 0 without text (whose empty bounding box is no fault: -quiet).
text_width() {
    local box
    box=$(text_only "$1" "$2" -quiet -format "%@" info:)
    echo "${box%%x*}"
}

# has_chars <shot> <geometry> <n> [cell]: whether the bright text in the
# region spans n cells of the big font (30.1 pixels each, or cell pixels for a
# caption narrowed to fit its button; a glyph leaves a margin); expect_chars
# fails unless it does.
has_chars() {
    awk -v w="$(text_width "$1" "$2")" -v n="$3" -v cell="${4:-30.1}" \
        'BEGIN { exit !(w > (n - 1) * cell && w <= n * cell + 2) }'
}
expect_chars() {
    has_chars "$@" || fail "text in $2 of $(basename "$1") is $(text_width "$1" "$2") pixels wide, not $3 characters"
}

# The players' figure counts along the bottom edge.
readonly PLAYER1_COUNT=400x50+0+718 PLAYER2_COUNT=400x50+624+718
# counts <-eq|-gt> <before>: both counts read as before (-eq) or both otherwise (-gt).
counts() {
    local box
    for box in "$PLAYER1_COUNT" "$PLAYER2_COUNT"; do
        [ "$(differ_text "$2" "$shot" "$box")" "$1" 0 ] || return 1
    done
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
