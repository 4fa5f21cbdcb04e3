#!/bin/sh
# The window's code compiled for Windows: every file of src/gui through the
# mingw-w64 compiler, against this machine's Qt 6 headers, as far as the
# compiler's checks go (no moc, no linking: Qt for Windows is not packaged
# here). It catches calls and headers that exist only on Linux.
set -eu
cd "$(dirname "$0")/.."
qt=/usr/include/$(gcc -print-multiarch)/qt6
export CHECK_CXX=x86_64-w64-mingw32-g++-posix
export CHECK_FLAGS="-std=c++20 -Wall -Wextra -Wpedantic -Werror -fsyntax-only \
-DWIN32_LEAN_AND_MEAN -DNOMINMAX -DQUARNEX_BUILD_DATE=\"check\" -DQUARNEX_VERSION=\"check\" \
-Isrc -isystem $qt -isystem $qt/QtCore -isystem $qt/QtGui -isystem $qt/QtWidgets"
# shellcheck disable=SC2016
ls src/gui/*.cpp | xargs -P "$(nproc)" -n 1 sh -c '$CHECK_CXX $CHECK_FLAGS "$1" || exit 255' check
echo "src/gui compiles for Windows"
