# What is kept between runs, under real input: a move survives SIGKILL; a
# second move, a turned camera and caustics off survive closing the window;
# damaged files are kept as .bad. Screenshots: $SPORRIK_SHOTS/keep-*.png.
source "$(dirname "$0")/lib.sh"

# Under the initial orbit camera: the figure on field 0,0, the floor of
# field 1,1, and the marks of the split fields 1,0 and 0,1 of a selected 0,0.
readonly FIGURE="71 515" FLOOR="238 475"
readonly MARK_1_0=30x16+163+507 MARK_0_1=30x16+108+441
readonly SETTINGS=$XDG_CONFIG_HOME/sporrik/settings.ini
readonly GAME=$XDG_STATE_HOME/sporrik/game.ini
rm -f "$SPORRIK_SHOTS"/keep-*.png

shot_name() { step=keep-$1; }
menu_shown() { logo_shown "$shot"; }
game_shown() { logo_gone "$shot" && [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ]; }
move() { # <x> <y> <name>: the figure on 0,0 to the field at x, y
    await_turn_at $FIGURE "$3"
    xdotool click 1
    click_target "$1" "$2" "$3-target"
    park_pointer
}
# settle <name> <box...>: selects the figure on 0,0, which shows once every
# move has landed, and the counts with it.
settle() {
    local name=$1
    shift
    await_turn_at $FIGURE "$name-turn"
    xdotool click 1
    await 30 "$name" boxes -gt 220 "$@" || fail "the figure on 0,0 was not selected in $name"
}
# The game file holds <moves> positions to take back, player 1 to move.
saved_after() { grep -qx "moves = $1" "$GAME" 2>/dev/null && grep -qx "to-move = 1" "$GAME"; }
# distance <a> <b>: how far two pictures differ, at a scale where the water's
# ripples hardly count and the camera's place does.
distance() { convert "$1" "$2" -scale 6.25% -compose Difference -composite -colorspace Gray -format "%[fx:mean]" info:; }
# logged <pattern>: a line of the log matches (grep reads it all: pipefail).
logged() { joined_log | grep -E "$1" >/dev/null; }
menu_click() { # <x> <y> <name> <check>
    click_at "$1" "$2"
    park_pointer
    await 20 "$3" "$4" || fail "nothing after the click in $3"
}
start_and_continue() { # <name>: a restart whose first button continues the kept game
    start_ui
    await 30 "$1-menu" menu_shown || fail "no main menu in $1"
    logged "kept game loaded from $GAME" || fail "$1 did not continue the game: $(joined_log)"
    menu_click $(main_button 0) "$1-continued" game_shown
}

# A move against the easy computer and its answer, then SIGKILL.
start_ui
await 30 first-menu menu_shown || fail "no main menu"
menu_click $(main_button 0) new-game menu_shown
menu_click $(new_game_button easy) started game_shown
move $FLOOR split
within 30 saved_after 2 || fail "the split and its answer were not saved"
settle answered $MARK_1_0 $MARK_0_1
answered=$shot
kill -KILL "$game_pid"
await_end "SIGKILL"

start_and_continue after-kill
counts -eq "$answered" || fail "the counts after SIGKILL differ from those before"
# A second split, then the camera turned and caustics off; the window is closed.
move 200 528 second
within 30 saved_after 4 || fail "the second split and its answer were not saved"
settle second-answered $MARK_0_1
answered=$shot
xdotool keydown --window "$window" Left
sleep 0.8
xdotool keyup --window "$window" Left
xdotool key --window "$window" F3
park_pointer
within 10 grep -qx "caustics = off" "$SETTINGS" || fail "caustics not kept: $(cat "$SETTINGS")"
screenshot keep-turned
turned=$shot
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing the window"

start_and_continue after-close
counts -eq "$answered" || fail "the counts after closing the window differ from those before"
logged "settings loaded from $SETTINGS" || fail "no settings loaded: $(joined_log)"
awk -v a="$(distance "$shot" "$turned")" -v b="$(distance "$shot" "$answered")" 'BEGIN { exit !(a < b) }' ||
    fail "the view after the restart is not the turned one (keep-after-close-continued.png)"
kill -KILL "$game_pid"
await_end "SIGKILL"

# Damaged files: each is refused with a warning and kept as .bad.
sed -i 's/^distance = .*/distance = far/' "$SETTINGS"
head -c 300 "$GAME" >"$GAME.cut" && mv "$GAME.cut" "$GAME"
start_ui
await 30 damaged-menu menu_shown || fail "no main menu with damaged files"
for file in "$SETTINGS" "$GAME"; do
    logged "WARNING.*$file refused" || fail "no warning for $file: $(joined_log)"
    [ -f "$file.bad" ] && [ ! -e "$file" ] || fail "$file not kept as $file.bad"
done
! logged "kept game loaded" || fail "a game was continued from a damaged file"
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after the damaged start"
echo "keep passed"
