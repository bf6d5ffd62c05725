# Broken installations. A file the game cannot do without ends it with exit
# code 1 and one log line naming the file, whether it is read before the main
# loop starts or in the first frames (the game's teardown does not run after
# such a failure). A file it can do without is named in a warning and the
# game goes on.
source "$(dirname "$0")/lib.sh"

missing=/nonexistent/sporrik-assets
start_game_at "$missing"
expect_fatal "a missing asset directory" "asset directory $missing cannot be read"

# damage <file> <remove|corrupt>: in a fresh copy of the assets.
damage() {
    fresh_assets
    if [ "$2" = remove ]; then rm "$case_assets/$1"; else corrupt "$case_assets/$1"; fi
}

# what | file under the asset directory | remove or corrupt | message
while IFS='|' read -r what file how message; do
    damage "$file" "$how"
    start_game_at "$case_assets"
    expect_fatal "$what" "$message"
done <<'CASES'
a missing font, read before the main loop|textures/fonts/fontsmall1.png|remove|Application initialization failed.error opening image textures/fonts/fontsmall1.png
a missing button texture, read in the first frame|textures/buttons/btn1b_mo.png|remove|unhandled exception: error opening image textures/buttons/btn1b_mo.png
a corrupt logo|textures/menu/spr2-logo.png|corrupt|unhandled exception: error opening image textures/menu/spr2-logo.png
a missing pointer texture|textures/cursor/cursor1.png|remove|unhandled exception: error opening image textures/cursor/cursor1.png
CASES

# Files the game can do without, in the same form; the models and sounds of
# the table scene belong here once the scene loads them.
while IFS='|' read -r what file how message; do
    [ -z "$what" ] && continue
    damage "$file" "$how"
    start_game_at "$case_assets"
    expect_running_with_warning "$what" "$message"
    kill "$game_pid"
done <<'CASES'
CASES
echo "bad start-up test passed"
