# Two players on two machines, by real input: three game programs on the
# three screens of one X server (the test run's, started with three screens;
# without them, an X server of its own), each with folders of its own. The
# host hosts from the menus; the friend finds the game listed from the local
# network and joins by the typed address and code; six moves a side by
# clicks, one taken back by request and acceptance; the friend's game is
# killed, started again and continues to a changed count; a third program
# watches. Its menus first show every failure a player can meet, each made
# for real: an unknown host, a wrong code, a full game, a server of another
# protocol and an address where no server answers. The counts of all three
# agree with an independent replay of the moves the host's server kept.
# Screenshots: $SPORRIK_SHOTS/network-*.png.
source "$(dirname "$0")/lib.sh"
: "${SPORRIK_OTHER_VERSION_SERVER:?run through ctest}"
started_at=$SECONDS
rm -f "$SPORRIK_SHOTS"/network-*.png

# The screens: the test run's display if it has three, else one made here.
base_display=${DISPLAY%.*}
has_screens() { DISPLAY=$base_display.2 xdotool getdisplaygeometry >/dev/null 2>&1; }
if ! has_screens; then
    number_file=$(mktemp)
    temporary+=("$number_file")
    Xvfb -displayfd 5 -screen 0 1024x768x24 -screen 1 1024x768x24 -screen 2 1024x768x24 -noreset \
        5>"$number_file" 2>/dev/null &
    own_server=$!
    got_number() { [ -s "$number_file" ]; }
    within 20 got_number || fail "no X server with three screens"
    base_display=:$(head -n 1 "$number_file")
fi

declare -A PID LOG WIN SCREEN STATE
finish() {
    local role
    # SPORRIK_E2E_BACKTRACES=1: each game's threads as they stood at the end,
    # for a game found stuck (network-<role>.bt beside the screenshots).
    if [ -n "${SPORRIK_E2E_BACKTRACES:-}" ]; then
        for role in "${!PID[@]}"; do
            gdb -p "${PID[$role]}" -batch -ex 'thread apply all bt' >"$SPORRIK_SHOTS/network-$role.bt" 2>&1 || true
        done
    fi
    for role in "${!PID[@]}"; do kill -KILL "${PID[$role]}" 2>/dev/null || true; done
    # The games' logs stay beside the screenshots, for a look at a failure.
    for role in "${!LOG[@]}"; do cp "${LOG[$role]}" "$SPORRIK_SHOTS/network-$role.log" 2>/dev/null || true; done
    [ -z "${old_server:-}" ] || kill -KILL "$old_server" 2>/dev/null || true
    [ -z "${own_server:-}" ] || kill -TERM "$own_server" 2>/dev/null || true
    rm -rf "${temporary[@]}"
}

# start <role> <screen>: the game on that screen, in a window, its picture
# drawn small and fast (three games share the machine), folders of its own.
start() {
    local role=$1 screen=$2 home
    SCREEN[$role]=$screen
    if [ -z "${STATE[$role]:-}" ]; then
        home=$(mktemp -d)
        temporary+=("$home")
        STATE[$role]=$home
    fi
    LOG[$role]=${STATE[$role]}/game.log
    XDG_CONFIG_HOME=${STATE[$role]}/config XDG_STATE_HOME=${STATE[$role]}/state XDG_DATA_HOME=${STATE[$role]}/data \
        DISPLAY=$base_display.$screen "$SPORRIK_BIN" "path=$SPORRIK_ASSETS" "$FRAME_CAP" window quality=fast scale=0.5 "${@:3}" \
        2>>"${LOG[$role]}" &
    PID[$role]=$!
}
on() { local role=$1; shift; DISPLAY=$base_display.${SCREEN[$role]} "$@"; }
alive() { kill -0 "${PID[$1]}" 2>/dev/null; }
window_of() {
    WIN[$1]=$(on "$1" xdotool search --screen "${SCREEN[$1]}" --onlyvisible --name "^Sporrik$" 2>/dev/null | head -n 1)
    [ -n "${WIN[$1]}" ] && return 0
    alive "$1" || fail "the $1's game ended: $(tail -n 5 "${LOG[$1]}")"
    return 1
}
cornered() { [ "$(on "$1" xdotool getwindowgeometry --shell "${WIN[$1]}" | grep -E '^(X|Y)=' | tr '\n' ' ')" = "X=0 Y=0 " ]; }
# place <role>: its window in the screen's corner, once the menu is drawn there.
place() {
    within 30 window_of "$1" || fail "no window of the $1"
    on "$1" xdotool windowmove "${WIN[$1]}" 0 0
    within 5 cornered "$1" || fail "the $1's window is not in the corner"
    look 30 "$1" "$1-start" logo_on
}
# click <role> <x> <y>: a left click at window coordinates, the pointer then moved off the board.
click() {
    on "$1" xdotool mousemove --screen "${SCREEN[$1]}" "$2" "$3" click 1
}
away() { on "$1" xdotool mousemove --screen "${SCREEN[$1]}" 60 60; }
# Keys and text go to the window as X events; xdotool's notes on the focus are noise here.
keys() { on "$1" xdotool key --window "${WIN[$1]}" "${@:2}" 2>/dev/null; }
typed() { on "$1" xdotool type --window "${WIN[$1]}" --delay 20 "$2" 2>/dev/null; }
clear_field() { keys "$1" End; keys "$1" --repeat 30 --delay 5 BackSpace; }
logged() { sed -e ':a' -e '/\\$/N; s/\\\n[^:]*://; ta' "${LOG[$1]}" | grep -E "$2" >/dev/null; }
await_log() { within "$3" logged "$1" "$2" || fail "the $1's log never said \"$2\": $(tail -n 8 "${LOG[$1]}")"; }
# snap <role> <name>: the role's screen as $SPORRIK_SHOTS/network-<name>.png, in $shot.
snap() { on "$1" screenshot "network-$2"; }
holds() { snap "$1" "$2"; "${@:3}"; }
# look <seconds> <role> <name> <check...>: screenshots until the check holds.
look() { within "$1" holds "$2" "$3" "${@:4}" || fail "$3: the check $4 never held"; }
text_at() { [ "$(text_pixels "$shot" "$1")" -gt "${2:-0}" ]; }
# The connection line's few small letters are told apart by how far they reach.
text_reaches() { [ "$(text_width "$shot" "$1")" -gt "$2" ]; }
logo_on() { logo_shown "$shot"; }
# The hover marker on a target field turns green once a click there would be taken.
# Polled on a grab of the region alone, a third of a whole screen's time. On
# the brightly lit floors near the board's edge the green is pale: a looser
# test than the shared one, which still leaves out the cyan and white frames.
readonly PALE_GREEN='g>0.3 && r<0.75*g && b<0.92*g'
green_marker() {
    local small=$SPORRIK_SHOTS/network-marker.png
    on "$role" import -window root -crop "80x80+$(($1 - 40))+$(($2 - 40))" +repage -quality 10 "$small" &&
        [ "$(colour_pixels "$small" 80x80+0+0 "$PALE_GREEN")" -gt 10 ]
}
# step <what>: the seconds since the start, for a look at where the time goes.
step() { echo "$((SECONDS - started_at)) s: $*"; }
# shows <role> <n>: the role's table last settled showing n moves.
shows() {
    [ "$(sed -n 's/.*table shows move \([0-9]*\):.*/\1/p' "${LOG[$1]}" | tail -n 1)" = "$2" ]
}
await_shows() {
    within "${3:-40}" shows "$1" "$2" && return 0
    snap "$1" "$1-not-$2"
    fail "the $1's table does not show move $2: $(grep 'table shows' "${LOG[$1]}" | tail -n 2)"
}

# Window coordinates of the menus: the main menu's rows (main_button:
# Continue on top while there is one), the network menu's (below a line of
# message, when there is one) and the heads-up display's lines.
network_row() { echo "512 $((275 + 80 * $1))"; }
readonly MESSAGE=960x60+32+245 LAN_ROW=640x64+192+243 FIELDS=500x150+512+310
readonly CONNECTION=600x30+0+55 NOTICE=700x30+162+140 CODE_TEXT=700x90+162+270

# move <role> <figure x y> <floor x y> <moves before>: once the role's table
# shows the moves before, its figure there and then the floor; each side
# sees its own corner near, so both play the same places. The marker on the
# floor turns green once a click there would be taken, but in the glare of
# the light on the water it shows white: after a while the floor is clicked
# anyway, and again as long as the game has not sent the move (a click the
# board refuses changes nothing). Waits for the move on the host's table.
move() {
    local role=$1 before=$6 name sent deadline
    name=$role-move-$((before + 1))
    await_shows "$role" "$before"
    sent=$(sent_moves "$role")
    click "$role" "$2" "$3"
    on "$role" xdotool mousemove --screen "${SCREEN[$role]}" "$4" "$5"
    deadline=$((SECONDS + 40))
    until [ "$(sent_moves "$role")" -gt "$sent" ]; do
        [ "$SECONDS" -lt "$deadline" ] || { snap "$role" "$name"; fail "$name: the click at $4,$5 was never taken"; }
        within 8 green_marker "$4" "$5" || true
        click "$role" "$4" "$5"
        within 3 sent_more "$role" "$sent" || true
    done
    await_shows host $((before + 1))
}
sent_moves() { grep -c 'NetworkPlay *:move [a-i][1-9][a-i][1-9] sent' "${LOG[$1]}" || true; }
sent_more() { [ "$(sent_moves "$1")" -gt "$2" ]; }
# Own places: the figure on the near corner a1, on b2, c1 and d1, and the floors of b2, c3, c1, d1, b1, e1.
readonly FIG_A1="70 515" FIG_B2="219 448" FIG_C1="287 515" FIG_D1="395 515"
readonly FLOOR_B2="238 475" FLOOR_C3="348 422" FLOOR_C1="305 542" FLOOR_D1="409 542" FLOOR_B1="202 542"
readonly FLOOR_E1="512 542"

# The server of another protocol, and a port where nothing answers.
old_port=$((47800 + RANDOM % 400))
dead_port=$((old_port + 1))
"$SPORRIK_OTHER_VERSION_SERVER" "$old_port" >/dev/null &
old_server=$!

start host 0 port=0
start friend 1
start watcher 2
place host
place friend
place watcher

step "the host hosts"
# The host hosts: the code in large letters, this machine's addresses.
click host $(main_button 1)
click host $(network_row 0)
await_log host "game [0-9A-Z-]+ made" 20
code=$(sed -n 's/.*game \([0-9A-Z]\{3\}-[0-9A-Z]\{3\}-[0-9A-Z]\{3\}\) made.*/\1/p' "${LOG[host]}" | head -n 1)
port=$(sed -n 's/.*hosting on UDP port \([0-9]*\).*/\1/p' "${LOG[host]}" | head -n 1)
away host
look 20 host host-waiting text_at "$CODE_TEXT" 400

step "the watcher meets"
# The watcher meets every failure, by the keys after the first clicks: an
# unknown host first.
click watcher $(main_button 1)
click watcher $(network_row 1)
typed watcher "nosuchhost.invalid"
keys watcher Tab
typed watcher "KTR-4QX-M7P"
keys watcher Return
await_log watcher "Unknown host \"nosuchhost.invalid\"" 20
away watcher
look 20 watcher error-unknown-host text_at "$MESSAGE" 30

step "the friend finds"
# The friend finds the game on the local network and types it in.
click friend $(main_button 1)
click friend $(network_row 1)
await_log friend "hosts $code at" 20
away friend
look 20 friend join-lan-listed text_at "$LAN_ROW" 100
typed friend "127.0.0.1:$port"
keys friend Tab
typed friend "$code"
look 10 friend join-typed text_at "$FIELDS" 400

step "a wrong code"
# A wrong code on the host's server (the focus came back to Join Game).
keys watcher Return
keys watcher shift+Tab
clear_field watcher
typed watcher "127.0.0.1:$port"
keys watcher Return
await_log watcher "No game has this code" 20
look 20 watcher error-wrong-code text_at "$MESSAGE" 30

keys friend Return
await_log friend "joined game $code" 20
await_log host "player 2 joined game $code" 20

step "a full game"
# A full game, then a server of another protocol, then no server at all,
# which takes the connection's time-out: the game goes on meanwhile.
keys watcher Return
clear_field watcher
typed watcher "$code"
keys watcher Return
await_log watcher "Both seats of this game are taken" 20
look 20 watcher error-full-game text_at "$MESSAGE" 30
keys watcher Return
keys watcher shift+Tab
clear_field watcher
typed watcher "127.0.0.1:$old_port"
keys watcher Return
await_log watcher "Version mismatch: the server runs Sporrik 9.9.9" 20
look 20 watcher error-other-version text_at "$MESSAGE" 30
keys watcher Return
keys watcher shift+Tab
clear_field watcher
typed watcher "127.0.0.1:$dead_port"
keys watcher Return

step "three moves a side"
# Three moves a side.
move host $FIG_A1 $FLOOR_B2 0
move friend $FIG_A1 $FLOOR_B2 1
move host $FIG_B2 $FLOOR_C3 2
move friend $FIG_B2 $FLOOR_C3 3

await_log watcher "No server answers at 127.0.0.1:$dead_port" 30
look 20 watcher error-no-server text_at "$MESSAGE" 30
step "watch"
# Watch: two steps down from Join Game.
keys watcher Down Down Return
keys watcher shift+Tab
clear_field watcher
typed watcher "127.0.0.1:$port"
keys watcher Tab
clear_field watcher
typed watcher "$code"
keys watcher Return
await_log watcher "watching game $code" 20

move host $FIG_A1 $FLOOR_C1 4
move friend $FIG_A1 $FLOOR_C1 5

step "the host asks"
# The host asks to take back its jump; the friend agrees: both moves go.
await_shows host 6
keys host BackSpace
look 20 friend take-back-asked text_at "$NOTICE" 30
keys friend y
await_shows host 4
await_shows friend 4
move host $FIG_A1 $FLOOR_C1 4
move friend $FIG_A1 $FLOOR_C1 5
move host $FIG_C1 $FLOOR_D1 6
move friend $FIG_C1 $FLOOR_D1 7
move host $FIG_B2 $FLOOR_B1 8
move friend $FIG_B2 $FLOOR_B1 9
await_shows friend 10
await_shows watcher 10
snap host mid-game-host
snap friend mid-game-friend
before_kill=$shot

step "the friend's game dies"
# The friend's game dies; the host is told; the friend comes back and Continues.
kill -KILL "${PID[friend]}"
start friend 1
await_log host "player 2 disconnected" 30
# "Player 2 disconnected — waiting 2:29" reaches past "connected · 24 ms".
look 10 host disconnect-notice text_reaches "$CONNECTION" 300
place friend
click friend $(main_button 0)
await_log friend "back in game $code" 20
await_log host "player 2 is back in game $code" 20
move host $FIG_D1 $FLOOR_E1 10
move friend $FIG_D1 $FLOOR_E1 11
await_shows friend 12
await_shows watcher 12
snap friend end-friend
[ "$(differ_text "$before_kill" "$shot" "$PLAYER1_COUNT")" -gt 0 ] || fail "the friend's count did not change after the restart"

step "the moves the host"
# The moves the host's server kept, replayed on the rules here, give the
# counts each table shows.
database=${STATE[host]}/state/sporrik/hosted.db
expected=$(python3 - "$database" "$code" <<'EOF'
import sqlite3, sys
db = sqlite3.connect("file:%s?mode=ro" % sys.argv[1], uri=True)
code = sys.argv[2].replace("-", "")
moves = [m for (m,) in db.execute(
    "SELECT move FROM moves JOIN games ON games.id = moves.game WHERE games.code = ? ORDER BY number", (code,))]
board = {(0, 0): 1, (8, 8): 2}
for n, m in enumerate(moves):
    player = 1 + n % 2
    fx, fy, tx, ty = ord(m[0]) - 97, int(m[1]) - 1, ord(m[2]) - 97, int(m[3]) - 1
    assert board.get((fx, fy)) == player and (tx, ty) not in board
    if max(abs(fx - tx), abs(fy - ty)) == 2:
        del board[(fx, fy)]
    board[(tx, ty)] = player
    for x in range(tx - 1, tx + 2):
        for y in range(ty - 1, ty + 2):
            if board.get((x, y)) == 3 - player:
                board[(x, y)] = player
print("%d %d:%d" % (len(moves), list(board.values()).count(1), list(board.values()).count(2)))
EOF
)
read -r count figures <<<"$expected"
[ "$count" -eq 12 ] || fail "the server kept $count moves, not 12"
for role in host friend watcher; do
    shown=$(sed -n 's/.*table shows move \([0-9]*\): figures \([0-9:]*\).*/\1 \2/p' "${LOG[$role]}" | tail -n 1)
    [ "$shown" = "12 $figures" ] || fail "the $role's table shows \"$shown\", the replay \"12 $figures\""
done
# The three displays draw the same counts.
snap host end-host
end_host=$shot
snap watcher end-watcher
for box in "$PLAYER1_COUNT" "$PLAYER2_COUNT"; do
    for other in "$SPORRIK_SHOTS/network-end-friend.png" "$shot"; do
        [ "$(differ_text "$end_host" "$other" "$box")" -lt 30 ] || fail "the counts in $box differ from the host's in $other"
    done
done
# The M typed into the watcher's code field was typed, never the mute key.
! logged watcher "sound (muted|on again)" || fail "a key typed into a field reached the game"
echo "network passed in $((SECONDS - started_at)) s"
