# scripts/start-demo.sh clicks "Demo": two computer players start, the counts
# of the heads-up display change as they play, and after Escape the first
# button still reads "New Game" (a game between computers is not continued).
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
[ "$(mean_brightness "$start" 1024x500+0+120)" -lt 3 ] || fail "menu still on screen after Demo"
expect_chars "$start" "400x50+0+718" 11
expect_chars "$start" "400x50+624+718" 11

# The computers move on their own: the counts change within a few seconds.
changed=""
for _ in $(seq 10); do
    sleep 1
    screenshot demo-later
    if [ "$(differ "$start" "$shot" 1024x50+0+718)" -gt 100 ]; then
        changed=yes
        break
    fi
done
[ -n "$changed" ] || fail "the figure counts did not change: nobody plays"

xdotool key --window "$window" Escape
sleep 0.5
xdotool mousemove --window "$window" 70 70
sleep 0.4
screenshot demo-escape
[ "$(differ "$menu" "$shot" "$first")" -eq 0 ] || fail "first button does not read New Game after the demo"

close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(cat "$game_log")"
echo "demo test passed"
