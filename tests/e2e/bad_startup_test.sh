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

# Files the game can do without: the models and sounds of the table scene,
# which it loads in its first frame, behind the main menu. A virtual server
# has no sound card; the dummy device lets the samples load, so that a broken
# one is noticed. The game must still draw, and end on SIGTERM.
export SDL_AUDIODRIVER=dummy
while IFS='|' read -r what file how message; do
    damage "$file" "$how"
    start_game_at "$case_assets"
    expect_running_with_warning "$what" "$message"
    # A window that never drew stays black; the menu over even a skyless
    # scene is far brighter.
    screenshot bad-start
    [ "$(mean_brightness "$shot")" -gt 8 ] || fail "$what: the screen stays dark"
    kill "$game_pid"
    await_end "SIGTERM"
done <<'CASES'
a missing figure model, the other detail stands in|models/sporlet/spr-spike.md3|remove|model models/sporlet/spr-spike.md3 not loaded: the MD3 file could not be opened
a corrupt figure model|models/sporlet/spr-slime-low.md3|corrupt|model models/sporlet/spr-slime-low.md3 not loaded: the MD3 file is damaged: the header is cut short
a missing skin list|models/sporlet/spr-slime.skin|remove|model models/sporlet/spr-slime.md3 not loaded: models/sporlet/spr-slime.skin could not be opened
a missing animation list, the table is left out|models/table/table-outside.cfg|remove|model models/table/table-outside.md3 not loaded: models/table/table-outside.cfg could not be opened
a missing skin texture|models/sporlet/spike-skin.png|remove|model models/sporlet/spr-spike.md3 not loaded: error opening image models/sporlet/spike-skin.png
a missing sky box|models/skybox/skybox.md3|remove|model models/skybox/skybox.md3 not loaded: the MD3 file could not be opened
a missing sound|sounds/vrsnd1t.wav|remove|sound sounds/vrsnd1t.wav not loaded; it stays silent
a corrupt sound|sounds/vrsnd2t.wav|corrupt|sound sounds/vrsnd2t.wav not loaded; it stays silent
CASES
echo "bad start-up test passed"
