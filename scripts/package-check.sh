#!/usr/bin/env bash
# Builds the Debian package (build-package/sporrik_<version>_<arch>.deb) with
# Debian's build flags, runs lintian and appstreamcli on it, then installs it
# with apt in a fresh Debian 12 chroot, starts the game from another folder
# (--help, then a few seconds on a virtual X server), removes it and checks
# that none of its files are left. Needs root (chroot, mount) and Debian's
# package mirror. Slow: not part of scripts/test.sh.
#
#   scripts/package-check.sh [--keep-chroot]
#
# The bare chroot is kept as build-package/bookworm-base.tar, so a second
# run skips debootstrap; delete it for a fresh one.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly MIRROR=${SPORRIK_DEBIAN_MIRROR:-http://deb.debian.org/debian}
readonly BUILD=build-package
# How long the installed game may take to its first frame on a software renderer.
readonly START_SECONDS=60
keep_chroot=false
[ "${1:-}" = "--keep-chroot" ] && keep_chroot=true

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }
[ "$(id -u)" -eq 0 ] || fail "run as root: the check builds a chroot"

step "tools"
scripts/install-deps.sh
tools=()
for tool in debootstrap:debootstrap lintian:lintian appstreamcli:appstream dpkg-shlibdeps:dpkg-dev; do
    command -v "${tool%%:*}" >/dev/null || tools+=("${tool#*:}")
done
if [ ${#tools[@]} -gt 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${tools[@]}" </dev/null
fi

step "package"
# Debian's hardening and optimisation flags, as a Debian build uses them.
# Given outright, not through the environment, which CMake reads only at the
# first configuration; it reads no CPPFLAGS at all: the preprocessor's flags
# (the fortified functions) go with the compiler's.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# Debian 12 keeps systemd's units in /lib/systemd/system (lintian refuses
# them in /usr/lib).
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF -DCMAKE_INSTALL_BINDIR=games \
    -DSPORRIK_SYSTEMD_UNIT_DIR=/lib/systemd/system \
    -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
cmake --build "$BUILD" -j"$(nproc)"
rm -f "$BUILD"/sporrik_*.deb
(cd "$BUILD" && cpack -G DEB)
deb=$(ls "$BUILD"/sporrik_*.deb)
echo "built $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

step "lintian"
lintian --info --display-info --fail-on error "$deb" || fail "lintian found errors"
step "appstream"
meta=$(mktemp -d)
dpkg-deb -x "$deb" "$meta"
appstreamcli validate --no-net "$meta"/usr/share/metainfo/*.metainfo.xml
rm -rf "$meta"

step "chroot"
root=$(mktemp -d /var/tmp/sporrik-chroot.XXXXXX)
cleanup() {
    umount "$root/proc" 2>/dev/null || true
    [ "$keep_chroot" = true ] && echo "chroot kept in $root" && return
    rm -rf "$root"
}
trap cleanup EXIT
base=$BUILD/bookworm-base.tar
if [ ! -f "$base" ]; then
    debootstrap --variant=minbase bookworm "$root" "$MIRROR"
    tar -C "$root" -cf "$base" .
else
    tar -C "$root" -xf "$base"
fi
# The chroot's root folder is mktemp's, readable by its owner only (and so
# in the tarball); apt's downloads and the player need to reach into it.
chmod 755 "$root"
mount -t proc proc "$root/proc"
in_root() { chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }
in_root apt-get update
# A player of the desktop: a login shell has /usr/games on its path.
in_root useradd --create-home --shell /bin/bash player
as_player() { chroot "$root" runuser -l player -c "$1"; }
# A list of what the bare system holds, to compare with after the removal.
in_root sh -c 'find / -xdev -path /proc -prune -o -print | sort' >"$root/before.list"

cp "$deb" "$root/tmp/"
in_root sh -c "cd /tmp && apt-get install -y ./$(basename "$deb")"
in_root dpkg -L sporrik >"$root/sporrik.list"
for file in /usr/games/sporrik /usr/share/sporrik/cg/advectD.cg /usr/share/applications/sporrik.desktop \
    /usr/share/icons/hicolor/128x128/apps/sporrik.png /usr/share/metainfo/org.sporrik.sporrik.metainfo.xml \
    /usr/share/doc/sporrik/copyright /usr/games/sporrik-server /usr/share/man/man1/sporrik-server.1.gz \
    /lib/systemd/system/sporrik-server.service; do
    grep -qx "$file" "$root/sporrik.list" || fail "$file is not in the package"
done
grep -qx "ExecStart=/usr/games/sporrik-server --db /var/lib/sporrik/server.db" \
    "$root/lib/systemd/system/sporrik-server.service" || fail "the server's unit does not start /usr/games/sporrik-server"

step "start"
as_player 'mkdir -p elsewhere && cd elsewhere && sporrik --help' | grep -q "path=<asset directory>" ||
    fail "sporrik --help"
as_player 'sporrik-server --version' | grep -q "^protocol [0-9]" || fail "sporrik-server --version"
# The virtual X server is the check's own tool, not a dependency of the game.
in_root apt-get install -y --no-install-recommends xvfb xauth
# The sky's last face is loaded when the first frame has taken every asset.
as_player "cd elsewhere && xvfb-run -a -s '-screen 0 1024x768x24' \
    timeout -s KILL $START_SECONDS sh -c 'sporrik window 2>/tmp/game.log & pid=\$!;
        until grep -q face_bottom /tmp/game.log; do kill -0 \$pid 2>/dev/null || exit 1; sleep 0.5; done;
        kill -TERM \$pid; wait \$pid; exit 0'" ||
    fail "the installed game did not start: $(tail -5 "$root/tmp/game.log" 2>/dev/null)"
if grep -E "not loaded|cannot be read" "$root/tmp/game.log"; then
    fail "the installed game misses some of its data"
fi
echo "started and ended; its log:"
sed 's/^/    /' "$root/tmp/game.log" | head -20

step "removal"
in_root apt-get purge -y sporrik
in_root dpkg -s sporrik >/dev/null 2>&1 && fail "sporrik still installed"
left=()
while read -r file; do
    [ -e "$root$file" ] || continue
    # Folders the system had before (such as /usr/bin) stay.
    grep -qx "$file" "$root/before.list" || left+=("$file")
done <"$root/sporrik.list"
[ ${#left[@]} -eq 0 ] || fail "left after the removal: ${left[*]}"
echo "package check passed: $deb"
