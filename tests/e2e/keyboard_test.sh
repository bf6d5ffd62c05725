# A whole session by keys alone, no pointer event after the start: the menus
# with their focus, a game against the easy computer played to its end with
# the board cursor, the text size changed in the options menu and kept, and
# Escape and Exit. Screenshots: $SPORRIK_SHOTS/keyboard-*.png.
#
# Player 1 plays to lose, which ends the game by the rules in a few moves:
# its lone figure jumps towards player 2's but never beside one, until the
# easy computer lands beside it and takes it.
source "$(dirname "$0")/lib.sh"

readonly GAME=$XDG_STATE_HOME/sporrik/game.ini
readonly SETTINGS=$XDG_CONFIG_HOME/sporrik/settings.ini
# The first main-menu button widened by its focus frame, the result in the
# middle of the heads-up display, and the corner figure on field 0,0.
readonly FIRST_FRAMED=330x90+347+268 RESULT=520x70+252+350 CORNER=120x100+10+460
# The options menu's last row's label, "Text Size:", at the normal size; the
# new-game menu's "Player 1:"; the middle of the screen, where every menu has
# buttons.
readonly TEXT_SIZE_LABEL=330x60+100+596 PLAYER1_LABEL=300x64+200+243 MIDDLE=500x400+262+200
readonly AMBER='r>0.8 && g>0.6 && g<0.9 && b<0.3' WHITE='r>0.9 && g>0.9 && b>0.9'
rm -f "$SPORRIK_SHOTS"/keyboard-*.png
step_number=0
shot_name() { step_number=$((step_number + 1)); step=$(printf 'keyboard-%02d-%s' "$step_number" "$1"); }

# keys <keys...>: typed quickly; several may reach the game in one frame.
keys() { xdotool key --delay 40 --window "$window" "$@"; }
# pixels <shot> <geometry> <condition>: how many pixels of the region meet it.
pixels() { convert "$1" -crop "$2" +repage -fx "$3" -format "%[fx:int(w*h*mean)]" info:; }
framed() { [ "$(pixels "$shot" "$FIRST_FRAMED" "$AMBER")" -gt 400 ]; }
menu_shown() { logo_shown "$shot"; }
game_shown() { logo_gone "$shot" && [ "$(text_pixels "$shot" "$PLAYER2_COUNT")" -gt 0 ]; }
new_game_shown() { has_chars "$shot" "$PLAYER1_LABEL" 9; }
options_shown() { has_chars "$shot" "$TEXT_SIZE_LABEL" 10; }
changed_from() { [ "$(differ_text "$1" "$shot" "$MIDDLE")" -gt "$2" ]; }

# The game file after <moves> moves with player 1 to move.
turn() { grep -qx "moves = $1" "$GAME" 2>/dev/null && grep -qx "to-move = 1" "$GAME"; }
# The heads-up display names player 1 to move once the computer's answer,
# decided and kept at once, has been shown up to its last step: the board
# takes player 1's keys from then on.
readonly TURN=400x40+0+20
named_to_move() { decided || [ "$(text_pixels "$shot" "$TURN")" -gt 20 ]; }
# The game ended: its file is gone (a decided game is not kept).
decided() { [ ! -e "$GAME" ]; }
turn_or_end() { turn "$1" || decided; }
# More than <moves> moves made, or the game decided.
moved() { decided || [ "$(sed -n 's/^moves = //p' "$GAME" 2>/dev/null || echo 0)" -gt "$1" ]; }

# plan: "sx sy tx ty", player 1's next move from the game file: a jump where
# one is possible, never beside player 2's figures, as near to them as that
# allows.
plan() {
    awk -F ' = ' '
        function far(ax, ay, bx, by) { return (ax > bx ? ax - bx : bx - ax) > (ay > by ? ay - by : by - ay) ? (ax > bx ? ax - bx : bx - ax) : (ay > by ? ay - by : by - ay) }
        /^row[1-9] = / { y = substr($1, 4) - 1; for (x = 0; x < 9; x++) f[x, y] = substr($2, x + 1, 1) }
        END {
            best = 1e9
            for (s = 0; s < 81; s++) {
                sx = s % 9; sy = int(s / 9)
                if (f[sx, sy] != 1) continue
                for (t = 0; t < 81; t++) {
                    tx = t % 9; ty = int(t / 9); d = far(sx, sy, tx, ty)
                    if (d < 1 || d > 2 || f[tx, ty] != 0) continue
                    near = 99
                    for (p = 0; p < 81; p++) if (f[p % 9, int(p / 9)] == 2 && far(p % 9, int(p / 9), tx, ty) < near) near = far(p % 9, int(p / 9), tx, ty)
                    score = (near <= 1 ? 1000 : 0) + near * 10 + (d == 1 ? 100 : 0)
                    if (score < best) { best = score; move = sx " " sy " " tx " " ty }
                }
            }
            print move
        }' "$GAME"
}

# walk <dx> <dy>: the cursor keys for a way across the board, as the initial
# camera shows it: Right is along x, Up along y.
walk() {
    local way=()
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
main=$shot

# Enter on New Game, then down to Easy Game past the two players' kinds.
keys Return
await 10 new-game new_game_shown || fail "Enter did not open the new-game menu"
keys Down Down Return
await 30 started game_shown || fail "Easy Game did not start a game"

within 30 turn 0 || fail "the new game was not kept"
before=$(pixels "$shot" "$CORNER" "$WHITE")
keys Tab
await 10 cursor-on-figure eval '[ "$(pixels "$shot" "$CORNER" "$WHITE")" -gt $((before + 100)) ]' ||
    fail "Tab showed no cursor on the figure in its corner"
moves=0 cursor_x=0 cursor_y=0
while true; do
    within 30 turn_or_end "$moves" || fail "no turn of player 1 after $moves moves: $(cat "$GAME")"
    decided && break
    await 30 "turn-$moves" named_to_move || fail "player 1 not named to move after $moves moves"
    decided && break
    read -r sx sy tx ty <<<"$(plan)"
    [ -n "$ty" ] || fail "player 1 has no move: $(cat "$GAME")"
    walk $((sx - cursor_x)) $((sy - cursor_y))
    keys Return
    walk $((tx - sx)) $((ty - sy))
    keys Return
    within 30 moved "$moves" || fail "the keys did not move $sx,$sy to $tx,$ty: $(cat "$GAME")"
    cursor_x=$tx cursor_y=$ty moves=$((moves + 2))
    [ "$moves" -le 20 ] || fail "the game goes on after ten moves of player 1"
done
# "Player 2 Won!": the computer took player 1's last figure.
winner_named() { has_chars "$shot" "$RESULT" 13; }
await 30 decided-shown winner_named || fail "no winner named after the game ended"

# Escape: the menu again, which offers no game to continue.
keys Escape
await 10 menu-again menu_shown || fail "Escape did not bring the menu back"
expect_chars "$shot" "$(button_box 512 313)" 8

# Down to Options, down to the text size, and Enter: Large, kept.
keys Down Down Down Return
await 10 options options_shown || fail "Enter on Options did not open the options menu"
normal=$shot
keys Down Down Down Down Down Return
within 10 grep -qx "text-size = large" "$SETTINGS" || fail "the text size was not kept: $(cat "$SETTINGS")"
await 10 large changed_from "$normal" 2000 || fail "the options menu did not grow with the text size"
large=$shot

# Escape to the main menu, which keeps its focus on Options; Exit is next.
keys Escape
await 10 main-large changed_from "$large" 500 || fail "Escape did not return to the main menu"
keys Down Return
await_end "Exit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Exit: $(cat "$game_log")"
echo "keyboard passed: $step_number screenshots in $SPORRIK_SHOTS"
