# Every game kept as a record, end to end under real input: a move against
# the easy computer by clicks and its answer, the demonstration and Continue back to the
# game, a new game started while it runs (which keeps the first as a
# record), the first opened from "Games", stepped through with the keys to
# its counts, and played on from its end with a move taken back.
# Screenshots: $SPORRIK_SHOTS/records-*.png.
source "$(dirname "$0")/lib.sh"

# Under the initial orbit camera: the figure on field 0,0, the floors of
# fields 1,1 and 2,0, the mark of the split field 0,1, and the middle of the
# Play from here button.
readonly FIGURE="71 515" FLOOR_1_1="238 475" FLOOR_2_0="295 548"
readonly PLAY_FROM_HERE="902 678"
readonly MARK_0_1=30x16+108+441
# The caption at the top left: the turn, or what the table shows instead.
readonly CAPTION=700x40+0+20
readonly GAME=$XDG_STATE_HOME/sporrik/game.ini
readonly GAMES=$XDG_DATA_HOME/sporrik/games
rm -f "$SPORRIK_SHOTS"/records-*.png

shot_name() { step=records-$1; }
# A menu shows the logo (a caption may be drawn in its pointer-over colour);
# the game shows the heads-up display's counts, which no menu covers.
menu_shown() { logo_shown "$shot"; }
game_shown() { [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ]; }
new_game_shown() { [ "$(text_pixels "$shot" "$(button_box $(new_game_button easy))")" -gt 200 ]; }
logged() { joined_log | grep -E "$1" >/dev/null; }
# menu_click <x> <y> <name> <check...>: a click, then the step's screenshot
# once the check holds for it.
menu_click() {
    press_at "$1" "$2"
    move_pointer_away
    await 20 "$3" "${@:4}" || fail "nothing after the click in $3"
}
key() { xdotool key --window "$window" "$@"; }
move() { # <x> <y> <name>: the figure on 0,0 to the field at x, y
    await_turn_at $FIGURE "$3"
    xdotool click 1
    click_target "$1" "$2" "$3-target"
}
# The game file holds this many moves from the start.
moves_kept() { grep -qx "count = $1" "$GAME" 2>/dev/null; }
counts_are() { counts -eq "$1"; }
caption_differs() { [ "$(differ_text "$1" "$shot" "$CAPTION")" -gt 0 ]; }

start_ui
await 30 menu menu_shown || fail "no main menu"
menu_click $(main_button 0) new-game new_game_shown
menu_click $(new_game_button easy) new-game-shown game_shown
# The figures come in over the first frames, the counts with them: the start's
# counts are read once the figure on 0,0 takes the pointer.
await_turn_at $FIGURE started
started=$shot
move $FLOOR_1_1 split
within 30 moves_kept 2 || fail "the move and its answer were not kept: $(cat "$GAME")"
# Selected, the figure on 0,0 marks its split field 0,1 once every move has
# landed, and the counts with it.
await_turn_at $FIGURE answer
xdotool click 1
await 30 answered boxes -gt 220 "$MARK_0_1" || fail "the figure on 0,0 was not selected"
answered=$shot

# The demonstration plays; Continue brings the game back as it was. The
# first Escape drops the selection, the second brings the menus.
key Escape Escape
menu_click $(menu_button 3) demos menu_shown
menu_click $(menu_button 0) demo game_shown
key Escape
await 10 demo-left menu_shown || fail "no menu after the demonstration"
menu_click $(main_button 0) continued counts_are "$answered" || fail "Continue did not return to the game"
moves_kept 2 || fail "the demonstration changed the kept game"

# A new game while it runs: the first is kept as an unfinished record.
key Escape
await 10 left menu_shown || fail "no menu"
menu_click $(main_button 1) second-new-game new_game_shown
press_at $(new_game_button easy)
within 10 logged "unfinished game kept as $GAMES/" || fail "the first game was not kept: $(joined_log | tail -n 5)"
grep -qx "Moves: 2" "$GAMES"/*.txt || fail "the record does not hold the two moves: $(cat "$GAMES"/*.txt)"

# Games lists it; it opens at its start and the keys step through it.
key Escape
await 10 second-left menu_shown || fail "no menu"
# Games: one line in the small font, then Back.
games_shown() { [ "$(text_pixels "$shot" "$(button_box $(menu_button 1))")" -gt 200 ]; }
menu_click $(menu_button 2) games games_shown
[ "$(text_pixels "$shot" "$(button_box $(menu_button 0))")" -gt 20 ] || fail "no kept game listed"
menu_click $(menu_button 0) replay counts_are "$started" || fail "the replay does not open at the start"
[ "$(text_pixels "$shot" "$CAPTION")" -gt 0 ] || fail "no replay caption"
replay=$shot
key Right
await 10 replay-right caption_differs "$replay" || fail "Right did not step to the first move"
key End
await 10 replay-end counts_are "$answered" || fail "End does not show the counts the game was left with"

# Play from here: the position becomes a game against the same computer,
# with its moves; a jump, its answer, and Backspace takes both back.
ended=$shot
menu_click $PLAY_FROM_HERE played-on caption_differs "$ended"
within 10 moves_kept 2 || fail "Play from here did not keep the record's moves: $(cat "$GAME")"
move $FLOOR_2_0 jump
within 30 moves_kept 4 || fail "no jump and answer from the replayed position: $(cat "$GAME")"
key BackSpace
within 10 moves_kept 2 || fail "Backspace did not take the jump back"
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
echo "records passed"
