# "cmake --install" puts the game, its assets, a desktop entry and an icon
# under a prefix, and the network server with its manual page and a systemd
# unit that systemd accepts, starting the installed server as a dynamic user
# with its database in the service's state folder; the installed game,
# started from another directory without
# path=, finds its assets and shows its menus in a 1024 x 768 window, and
# ends with code 0 when the window is closed. "--help" prints the usage and
# ends with 0; an unknown argument is only a warning.
source "$(dirname "$0")/lib.sh"
: "${SPORRIK_BUILD:?run through ctest}"

prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
temporary+=("$prefix" "$elsewhere")
cmake --install "$SPORRIK_BUILD" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for file in bin/sporrik share/sporrik/textures/fonts/fontbig0.png share/sporrik/cg/advectD.cg \
    share/applications/sporrik.desktop share/icons/hicolor/128x128/apps/sporrik.png \
    bin/sporrik-server share/man/man1/sporrik-server.1.gz lib/systemd/system/sporrik-server.service; do
    [ -e "$prefix/$file" ] || fail "$file was not installed"
done
unit=$prefix/lib/systemd/system/sporrik-server.service
for line in "ExecStart=$prefix/bin/sporrik-server --db /var/lib/sporrik/server.db" DynamicUser=yes \
    StateDirectory=sporrik Restart=on-failure; do
    grep -qxF "$line" "$unit" || fail "the server's unit lacks $line"
done
# It also checks that the command it starts is there.
systemd-analyze verify --man=no "$unit" || fail "systemd-analyze refuses the server's unit"
"$prefix/bin/sporrik-server" --version | grep -q "^protocol [0-9]" || fail "the installed sporrik-server --version"
grep -q "^Exec=sporrik$" "$prefix/share/applications/sporrik.desktop" || fail "desktop entry without Exec=sporrik"
[ "$(identify -format %wx%h "$prefix/share/icons/hicolor/128x128/apps/sporrik.png")" = 128x128 ] ||
    fail "the icon is not 128 x 128"

cd "$elsewhere"
usage=$("$prefix/bin/sporrik" --help) || fail "--help ended with $?"
grep -q "path=<asset directory>" <<<"$usage" || fail "--help without the usage: $usage"

game_log=$(mktemp)
temporary+=("$game_log")
"$prefix/bin/sporrik" window --no-such-option 2>"$game_log" &
game_pid=$!
place_window
# The logo to look for is the installed one.
SPORRIK_ASSETS=$prefix/share/sporrik
menu_drawn() {
    screenshot installed-menu
    logo_shown "$shot"
}
within 30 menu_drawn || fail "the installed game shows no logo (only $(logo_pixels "$shot") of its pixels)"
grep -q 'WARNING from global          :unknown argument "--no-such-option" ignored' "$game_log" ||
    fail "no warning about the unknown argument: $(cat "$game_log")"
close_game
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(cat "$game_log")"
echo "install test passed"
