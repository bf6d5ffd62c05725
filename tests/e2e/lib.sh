# Helpers of the end-to-end tests: start the game on the test run's X server,
# find its window, look at it and close it.
set -euo pipefail

: "${SPORRIK_BIN:?run through ctest}"
: "${DISPLAY:?the end-to-end tests need an X display; run them under xvfb-run}"
mkdir -p "$SPORRIK_SHOTS"

# A failed test kills the game outright: it may be a game that ignores SIGTERM.
fail() {
    echo "FAIL: $*" >&2
    [ -n "${game_pid:-}" ] && kill -KILL "$game_pid" 2>/dev/null
    exit 1
}

# start_game <arguments...>: starts the game with the generated assets.
start_game() {
    game_log=$(mktemp)
    "$SPORRIK_BIN" "path=$SPORRIK_ASSETS" "$@" 2>"$game_log" &
    game_pid=$!
}

# wait_window: sets $window to the id of the game's window.
wait_window() {
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "^Sporrik$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && return 0
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended before showing a window: $(cat "$game_log")"
        sleep 0.1
    done
    fail "no window titled Sporrik"
}

# window_geometry: sets WIDTH, HEIGHT, X and Y of $window.
window_geometry() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
}

# screenshot <name>: saves the screen and sets $shot to its path.
screenshot() {
    shot="$SPORRIK_SHOTS/$1.png"
    import -window root "$shot"
}

# mean_brightness <file> [geometry]: mean grey level 0..255 of the picture or of a region.
mean_brightness() {
    local crop=()
    [ $# -gt 1 ] && crop=(-crop "$2")
    convert "$1" "${crop[@]}" -colorspace Gray -format "%[fx:int(255*mean)]" info:
}

# The menus' logo where a 1024 x 768 window draws it, pixel for pixel.
readonly LOGO_BOX=512x128+256+64
logo_file() {
    echo "$SPORRIK_ASSETS/textures/menu/spr2-logo.png"
}

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
logo_opaque() {
    convert "$(logo_file)" -alpha extract -threshold 99% -format "%[fx:int(w*h*mean)]" info:
}

# logo_shown <shot>: true when nearly all of the logo is on screen;
# logo_gone <shot>: true when hardly any of it is (the scene may match a few
# of its pixels by chance).
logo_shown() {
    [ $(($(logo_pixels "$1") * 10)) -gt $(($(logo_opaque) * 9)) ]
}
logo_gone() {
    [ $(($(logo_pixels "$1") * 10)) -lt "$(logo_opaque)" ]
}

# await_end <what> [tenths]: waits up to tenths of a second (default 100)
# for the game to end after what, and sets $exit_code.
await_end() {
    for _ in $(seq "${2:-100}"); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end after $1"
    exit_code=0
    wait "$game_pid" || exit_code=$?
}

# close_game: sends WM_DELETE_WINDOW and sets $exit_code when the game has ended.
close_game() {
    "$SPORRIK_CLOSE_WINDOW" "$window"
    await_end "the close request"
}

# fresh_assets: sets $case_assets to a new private copy of the asset
# directory, removed when the script ends, so that a test may break files in it.
asset_copies=()
fresh_assets() {
    case_assets=$(mktemp -d)
    asset_copies+=("$case_assets")
    trap 'rm -rf "${asset_copies[@]}"' EXIT
    cp -r "$SPORRIK_ASSETS"/. "$case_assets"
}

# start_game_at <asset directory>: starts the game in a window on those assets.
start_game_at() {
    game_log=$(mktemp)
    "$SPORRIK_BIN" "path=$1" window 2>"$game_log" &
    game_pid=$!
}

# corrupt <file>: keeps the first 100 bytes, as a copy cut short would.
corrupt() {
    head -c 100 "$1" >"$1.cut"
    mv "$1.cut" "$1"
}

# joined_log: the game's log with the continuation lines of long messages
# joined back into one line.
joined_log() {
    sed -e ':a' -e '/\\$/N; s/\\\n[^:]*://; ta' "$game_log"
}

# expect_fatal <what> <message>: the game ends within 10 s with exit code 1,
# having logged the message exactly once.
expect_fatal() {
    await_end "$1"
    [ "$exit_code" -eq 1 ] || fail "$1: exit code $exit_code, not 1: $(cat "$game_log")"
    local count
    count=$(joined_log | grep -cF -- "$2" || true)
    [ "$count" -eq 1 ] || fail "$1: \"$2\" logged $count times: $(cat "$game_log")"
}

# expect_running_with_warning <what> <message>: the game shows its window and
# still runs 2 s later, having logged the message as a warning.
expect_running_with_warning() {
    wait_window
    sleep 2
    kill -0 "$game_pid" 2>/dev/null || fail "$1: the game ended: $(cat "$game_log")"
    joined_log | grep "^WARNING" | grep -qF -- "$2" || fail "$1: no warning \"$2\": $(cat "$game_log")"
}
