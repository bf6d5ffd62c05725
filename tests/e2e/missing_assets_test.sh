# Without its interface textures the game says which file is missing and ends
# with exit code 1 before opening its loop.
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
echo "missing assets test passed"
