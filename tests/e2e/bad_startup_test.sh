# Broken installations. A file the game cannot do without ends it with exit
# code 1 and one log line naming the file, whether it is read before the main
# loop starts or in the first frames (the game's teardown does not run after
# such a failure). A file it can do without is named in a warning and the
# game goes on.
source "$(dirname "$0")/lib.sh"

# new_assets [copy]: sets $case_assets to a new asset directory, empty or a
# copy of the generated assets that the case may break, removed at the end.
new_assets() {
    case_assets=$(mktemp -d)
    temporary+=("$case_assets")
    [ $# -eq 0 ] || cp -r "$SPORRIK_ASSETS"/. "$case_assets"
}

# break_file <file> <remove|corrupt>: in $case_assets; a corrupt file keeps
# its first 100 bytes, as a copy cut short would.
break_file() {
    [ "$2" = remove ] || head -c 100 "$case_assets/$1" >"$case_assets/cut"
    rm "$case_assets/$1"
    [ "$2" = remove ] || mv "$case_assets/cut" "$case_assets/$1"
}

# expect_fatal <what> <message...>: the game ends by itself with exit code
# 1, having logged each message exactly once.
expect_fatal() {
    local what=$1 message count
    await_end "$what"
    [ "$exit_code" -eq 1 ] || fail "$what: exit code $exit_code, not 1: $(cat "$game_log")"
    for message in "${@:2}"; do
        count=$(joined_log | grep -cF -- "$message" || true)
        [ "$count" -eq 1 ] || fail "$what: \"$message\" logged $count times: $(cat "$game_log")"
    done
}

missing=/nonexistent/sporrik-assets
start_game_at "$missing"
expect_fatal "a missing asset directory" "asset directory $missing cannot be read"

# An empty one: the log also says where the game looked.
new_assets
start_game_at "$case_assets"
expect_fatal "an empty asset directory" "Application initialization failed.error opening image textures/fonts/fontbig0.png" \
    "looked for the assets in \"$case_assets\" (named by path=); path=<directory> names another folder"

# what | file under the asset directory | remove or corrupt | message
while IFS='|' read -r what file how message; do
    new_assets copy
    break_file "$file" "$how"
    start_game_at "$case_assets"
    expect_fatal "$what" "$message"
done <<'CASES'
a missing font, read before the main loop|textures/fonts/fontsmall1.png|remove|Application initialization failed.error opening image textures/fonts/fontsmall1.png
a missing button texture, read in the first frame|textures/buttons/btn1b_mo.png|remove|unhandled exception: error opening image textures/buttons/btn1b_mo.png
a corrupt logo|textures/menu/spr2-logo.png|corrupt|unhandled exception: error opening image textures/menu/spr2-logo.png
a missing pointer texture|textures/cursor/cursor1.png|remove|unhandled exception: error opening image textures/cursor/cursor1.png
CASES

# Files the game can do without: the models and sounds of the table scene,
# which it loads in its first frame, behind the main menu; without a figure
# model the other detail stands in, without the table's animation list the
# table is left out. A virtual server has no sound card; the dummy device
# lets the samples load, so that a broken one is noticed. Each group breaks
# at most one file of a model at once. The game must still draw (a window
# that never drew stays black; the menu over even a skyless scene is far
# brighter), run on 2 s later, and end on SIGTERM.
export SDL_AUDIODRIVER=dummy
optional='
1|models/sporlet/spr-spike.md3|remove|model models/sporlet/spr-spike.md3 not loaded: the MD3 file could not be opened
1|models/sporlet/spr-slime-low.md3|corrupt|model models/sporlet/spr-slime-low.md3 not loaded: the MD3 file is damaged: the header is cut short
1|models/table/table-outside.cfg|remove|model models/table/table-outside.md3 not loaded: models/table/table-outside.cfg could not be opened
1|sounds/vrsnd1t.wav|remove|sound sounds/vrsnd1t.wav not loaded; it stays silent
2|models/sporlet/spr-slime.skin|remove|model models/sporlet/spr-slime.md3 not loaded: models/sporlet/spr-slime.skin could not be opened
2|models/sporlet/spike-skin.png|remove|model models/sporlet/spr-spike.md3 not loaded: error opening image models/sporlet/spike-skin.png
2|models/skybox/skybox.md3|remove|model models/skybox/skybox.md3 not loaded: the MD3 file could not be opened
2|sounds/vrsnd2t.wav|corrupt|sound sounds/vrsnd2t.wav not loaded; it stays silent'
drawn() { screenshot bad-start; [ "$(mean_brightness "$shot")" -gt 8 ]; }
for group in 1 2; do
    new_assets copy
    while IFS='|' read -r g file how message; do
        if [ "$g" = "$group" ]; then break_file "$file" "$how"; fi
    done <<<"$optional"
    start_game_at "$case_assets"
    wait_window
    within 30 drawn || fail "group $group: the screen stays dark"
    sleep 2
    running || fail "group $group: the game ended: $(cat "$game_log")"
    while IFS='|' read -r g file how message; do
        if [ "$g" = "$group" ]; then
            joined_log | grep "^WARNING" | grep -qF -- "$message" || fail "no warning \"$message\": $(cat "$game_log")"
        fi
    done <<<"$optional"
    kill "$game_pid"
    await_end "SIGTERM"
done
echo "bad start-up test passed"
