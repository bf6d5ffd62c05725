# scripts/start-demo.sh clicks "Demo": two computer players start, the counts
# of the heads-up display change as they play, the game runs to its end and
# shows the winner, and after Escape the first button still reads "New Game"
# (a game between computers is not continued).
source "$(dirname "$0")/ui.sh"

start_ui
screenshot demo-menu
menu=$shot
first=$(button_box $(menu_button 0))

"$(dirname "$0")/../../scripts/start-demo.sh" "$window"
park_pointer
sleep 0.5
screenshot demo-start
start=$shot
expect_hud "$start"

# The computers move on their own: the counts change within a few seconds.
for _ in $(seq 10); do
    sleep 1
    screenshot demo-later
    [ "$(differ "$start" "$shot" 1024x50+0+718)" -gt 100 ] && break
done
[ "$(differ "$start" "$shot" 1024x50+0+718)" -gt 100 ] || fail "the figure counts did not change: nobody plays"

# The demonstration plays on to its end and names the winner in the middle
# of the screen: "Player 1 Won!" or "Player 2 Won!", 13 characters. A game of
# two hard players takes about a hundred moves, a few minutes.
result=1024x100+0+334
winner=""
for _ in $(seq 200); do
    sleep 3
    screenshot demo-end
    width=$(text_only "$shot" "$result" -format "%@" info:)
    width=${width%%x*}
    if [ "$width" -gt 361 ] && [ "$width" -le 393 ]; then
        winner=$shot
        break
    fi
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended during the demonstration: $(cat "$game_log")"
done
[ -n "$winner" ] || fail "no winner shown after ten minutes of demonstration"
[ "$(text_pixels "$winner" 400x50+0+718)" -gt 0 ] && [ "$(text_pixels "$winner" 400x50+624+718)" -gt 0 ] ||
    fail "no counts beside the winner"

escape_to_menu demo-escape
[ "$(differ_text "$menu" "$shot" "$first")" -eq 0 ] || fail "first button does not read New Game after the demo"

close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(cat "$game_log")"
echo "demo test passed"
