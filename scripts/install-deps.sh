#!/usr/bin/env bash
# Installs the Debian packages Quarnex needs to build, test and run.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libcli11-dev nlohmann-json3-dev
    libsdbus-c++-dev nettle-dev
    clang-format
    mtools dosfstools util-linux coreutils
    xvfb xauth
    dbus python3-dbusmock
    # The Windows build: the cross compiler, GoogleTest's sources and wine
    # to run the tests.
    g++-mingw-w64-x86-64-posix googletest wine64
    # scripts/check-install.sh: the package, its validators and a window
    # manager to close the installed program as a user would.
    dpkg-dev file desktop-file-utils appstream lintian bash-completion man-db jwm xdotool x11-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
else
    sudo=
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
