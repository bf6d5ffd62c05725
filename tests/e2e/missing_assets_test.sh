# Without its interface textures the game says which file is missing and
# where it looked, and ends with exit code 1 before opening its loop.
source "$(dirname "$0")/lib.sh"

empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
SPORRIK_ASSETS=$empty
start_game window
exit_code=0
wait "$game_pid" || exit_code=$?
[ "$exit_code" -eq 1 ] || fail "exit code $exit_code without textures"
grep -q "Application initialization failed.error opening image textures/fonts/fontbig0.pn" "$game_log" ||
    fail "no clear error: $(cat "$game_log")"
# The log cuts long messages into pieces of 80 characters; join them again.
joined=$(sed -e ':a' -e '/\\$/{N;s/\\\n[^:]*://;ba}' "$game_log")
grep -q "looked for the assets in \"$empty\" (named by path=); path=<directory> names another folder" <<<"$joined" ||
    fail "no word on where the assets were looked for: $(cat "$game_log")"
echo "missing assets test passed"
