#!/usr/bin/env bash
# Installs the Debian packages Vellumo needs to build, run and test, and only
# those that are missing. Used by run.sh, test.sh, bench.sh and fuzz.sh; further
# package names given as arguments are installed too.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang-format clang-tidy
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # The live preview's engine (loaded as a plugin when the preview first opens).
    qt6-webengine-dev
    qt6-gtk-platformtheme
    fonts-dejavu-core
    libuchardet-dev libicu-dev libxxhash-dev zlib1g-dev libtidy-dev strace util-linux
    # The package test: CPack works out the package's dependencies with dpkg-dev
    # and file; the desktop entry and the metainfo are checked once installed.
    dpkg-dev file desktop-file-utils appstream
    # The smoke tests: an X server of their own, keys typed into the window, memcheck.
    xvfb xdotool valgrind python3
)
# Extra packages a caller needs besides these (scripts/fuzz.sh: the fuzzing compiler).
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
