#!/bin/sh
# Fails when any C++ source differs from what clang-format makes of it.
set -eu
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.hpp' 2>/dev/null || find src tests bench -name '*.[ch]pp')
[ -z "$files" ] && exit 0
# shellcheck disable=SC2086
clang-format --dry-run --Werror $files
