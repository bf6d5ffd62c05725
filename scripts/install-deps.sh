#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Sporrik
# (llvm-14 for the symbolizer that names the frames of clang's sanitizer
# reports, systemd for systemd-analyze, which checks the server's unit).
# Idempotent: packages already present are left alone, and apt is only asked
# when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    libgtest-dev googletest
    freeglut3-dev libx11-dev libglew-dev libpng-dev zlib1g-dev
    libsdl2-mixer-dev libfreetype-dev fonts-dejavu-core libinih-dev
    libenet-dev libprotobuf-dev protobuf-compiler libsqlite3-dev
    libgl1-mesa-dri xvfb xauth xdotool imagemagick
    clang libclang-rt-14-dev llvm-14
    systemd
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update
# Recommended packages (Ghostscript for ImageMagick, LLVM's development
# files for clang, and so on) are not needed and would add a third.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
