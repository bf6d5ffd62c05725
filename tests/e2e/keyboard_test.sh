# By keys alone, no pointer event after the start: the menus with their focus,
# a game against the easy computer played to its end with the board cursor,
# the text size and the screen chosen and kept, Escape and Exit. Player 1 plays
# to lose, which ends the game by the rules in a few moves: its lone figure
# jumps towards player 2's, never beside one, until the computer takes it.
source "$(dirname "$0")/lib.sh"

readonly GAME=$XDG_STATE_HOME/sporrik/game.ini SETTINGS=$XDG_CONFIG_HOME/sporrik/settings.ini
# The first button with its focus frame, the corner figure, the turn and result
# captions, "Player 1:", "Text Size:", and the middle, where every menu has buttons.
readonly FIRST_FRAMED=330x90+347+268 CORNER=120x100+10+460 TURN=400x40+0+20 RESULT=520x70+252+350
readonly PLAYER1_LABEL=300x64+200+243 TEXT_SIZE_LABEL=330x60+100+596 MIDDLE=500x400+262+200
step_number=0
shot_name() { step_number=$((step_number + 1)); step=$(printf 'keyboard-%02d-%s' "$step_number" "$1"); }
keys() { xdotool key --delay 40 --window "$window" "$@"; }
pixels() { convert "$shot" -crop "$1" +repage -fx "$2" -format "%[fx:int(w*h*mean)]" info:; }
menu_shown() { logo_shown "$shot"; }
has_chars_at() { has_chars "$shot" "$1" "$2"; }
framed() { [ "$(pixels "$FIRST_FRAMED" 'r>0.8 && g>0.6 && g<0.9 && b<0.3')" -gt 400 ]; }
white() { pixels "$CORNER" 'r>0.9 && g>0.9 && b>0.9'; }
game_shown() { logo_gone "$shot" && [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ]; }
changed_from() { [ "$(differ_text "$1" "$shot" "$MIDDLE")" -gt "$2" ]; }
# The kept game: after <moves> moves with player 1 to move; gone once decided.
turn() { grep -qx "moves = $1" "$GAME" 2>/dev/null && grep -qx "to-move = 1" "$GAME"; }
decided() { [ ! -e "$GAME" ]; }
moved() { decided || [ "$(sed -n 's/^moves = //p' "$GAME")" -gt "$1" ]; }
# The computer's answer is kept at once; player 1 is named to move when it has been shown.
named_to_move() { decided || [ "$(text_pixels "$shot" "$TURN")" -gt 20 ]; }

# plan: "sx sy tx ty", player 1's move: a jump where there is one, never
# beside player 2's figures, as near to them as that allows.
plan() {
    awk -F ' = ' 'function d(a, b) { return (a > b ? a - b : b - a) }
        function far(p, q) { return d(p % 9, q % 9) > d(int(p / 9), int(q / 9)) ? d(p % 9, q % 9) : d(int(p / 9), int(q / 9)) }
        /^row[1-9] = / { for (x = 0; x < 9; x++) f[(substr($1, 4) - 1) * 9 + x] = substr($2, x + 1, 1) }
        END { best = 1e9
            for (s = 0; s < 81; s++) for (t = 0; t < 81; t++) if (f[s] == 1 && f[t] == 0 && far(s, t) <= 2) {
                near = 99; for (p = 0; p < 81; p++) if (f[p] == 2 && far(p, t) < near) near = far(p, t)
                score = (near <= 1) * 1000 + near * 10 + (far(s, t) == 1) * 100
                if (score < best) { best = score; move = s % 9 " " int(s / 9) " " t % 9 " " int(t / 9) } }
            print move }' "$GAME"
}
# walk <dx> <dy>: the cursor's way; from the initial camera Right is along x, Up along y.
walk() {
    local way=() i
    for ((i = 0; i < ${1#-}; i++)); do way+=("$([ "$1" -gt 0 ] && echo Right || echo Left)"); done
    for ((i = 0; i < ${2#-}; i++)); do way+=("$([ "$2" -gt 0 ] && echo Up || echo Down)"); done
    [ ${#way[@]} -eq 0 ] || keys "${way[@]}"
}

start_game window
wait_window
xdotool windowmove "$window" 0 0
within 5 in_corner || fail "window not moved to the corner: $X,$Y"
await 30 menu menu_shown || fail "no main menu"
await 10 focus framed || fail "no focus frame on the first button"
# New Game, then down past the players' kinds to Easy Game.
keys Return
await 10 new-game has_chars_at "$PLAYER1_LABEL" 9 || fail "Enter did not open the new-game menu"
keys Down Down Return
await 30 started game_shown || fail "Easy Game did not start a game"
within 30 turn 0 || fail "the new game was not kept"
before=$(white)
keys Tab
await 10 cursor eval '[ "$(white)" -gt $((before + 100)) ]' || fail "Tab showed no cursor on the corner figure"
moves=0 cursor_x=0 cursor_y=0
while true; do
    within 30 eval 'turn "$moves" || decided' || fail "no turn of player 1 after $moves moves: $(cat "$GAME")"
    await 30 "turn-$moves" named_to_move || fail "player 1 not named to move after $moves moves"
    decided && break
    read -r sx sy tx ty <<<"$(plan)"
    walk $((sx - cursor_x)) $((sy - cursor_y))
    keys Return
    walk $((tx - sx)) $((ty - sy))
    keys Return
    within 30 moved "$moves" || fail "the keys did not move $sx,$sy to $tx,$ty: $(cat "$GAME")"
    cursor_x=$tx cursor_y=$ty moves=$((moves + 2))
    [ "$moves" -le 20 ] || fail "the game goes on after ten moves of player 1"
done
await 30 winner has_chars_at "$RESULT" 13 || fail "no \"Player 2 Won!\" after the game ended"

# Escape, then down past Network Game, Games and Demos to Options and to the
# text size: Large, kept.
keys Escape
await 10 menu-again menu_shown || fail "Escape did not bring the menu back"
expect_chars "$shot" 300x64+362+200 8
keys Down Down Down Down Return
await 10 options has_chars_at "$TEXT_SIZE_LABEL" 10 || fail "Enter on Options did not open the options menu"
normal=$shot
keys Down Down Down Down Down Return
within 10 grep -qx "text-size = large" "$SETTINGS" || fail "the text size was not kept: $(cat "$SETTINGS")"
await 10 large changed_from "$normal" 2000 || fail "the options menu did not grow with the text size"
# Up to the screen: Full Screen and back to Window, which the file keeps,
# though the command line said "window" too.
keys Up Up Up Up Return
within 10 grep -qx "window = full-screen" "$SETTINGS" || fail "Full Screen was not kept"
keys Return
within 10 grep -qx "window = window" "$SETTINGS" || fail "Window, chosen in the menu, was not kept"
# Escape to the main menu, its focus still on Options: Exit is next.
keys Escape Down Return
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "keyboard passed: $step_number screenshots in $SPORRIK_SHOTS"
