#!/bin/sh
# Fails when a folder of src/ (or the tests of one) includes a folder above
# it, when code outside the platform folder reaches into it, when a file grows past 400 lines, or
# when a POSIX-specific name leaks out of src/platform/. Prints every
# offending line.
set -eu
cd "$(dirname "$0")/.."

status=0

# Every include of src/, tests/ and bench/, quoted or angled, with or
# without leading "../", is looked up in src/; what is not there (system and
# library headers, the tests' own helpers) is no layer. Rules, in order:
# - only the platform, the places that build it, the tests and the
#   benchmarks include src/platform/; the platform itself includes only the
#   ports and src/core;
# - the test support, the platform's tests and the benchmarks build a whole
#   program: every layer but the two front ends;
# - otherwise a folder (or the tests of a folder) includes its own rank and
#   those below, and the two front ends stand beside each other;
# - tests of the operations still start some operations the way the window
#   does, through two entry points of the commands layer, until every
#   operation takes its request directly, and name what an operation did
#   by the action text the front ends show.
bad=$({
    find src -type f | sed 's|^src/||; s|^|SRC |'
    grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+["<]' src tests bench || true
} | awk '
function rank(f) {
    if (f == "gui" || f == "cli") return 6
    if (f == "commands") return 5
    if (f == "state" || f == "store" || f == "image" || f == "scan") return 4
    if (f == "fat12") return 3
    if (f == "device") return 2
    if (f == "ports") return 1
    if (f == "core") return 0
    return -1
}
$1 == "SRC" { known[$2] = 1; next }
{
    line = $0
    file = line; sub(/:.*/, "", file)
    path = line; sub(/^[^"<]*["<]/, "", path); sub(/[">].*$/, "", path)
    while (path ~ /^\.\.?\//) sub(/^\.\.?\//, "", path)
    if (!(path in known)) next
    split(file, f, "/"); split(path, p, "/")
    to = p[1]
    from = f[2]
    tool = (file ~ /^(tests\/support|tests\/platform|bench)\//)
    if (to == "platform") {
        if (file ~ /^(src\/platform\/|tests\/|bench\/)/ || file == "src/gui/program.cpp" ||
            file ~ /^src\/cli\/cli_world\.[ch]pp$/) next
        print line; next
    }
    if (file ~ /^src\/platform\//) { if (to != "ports" && to != "core") print line; next }
    if (tool) { if (to == "gui" || to == "cli") print line; next }
    fr = rank(from); tr = rank(to)
    if (fr < 0 || tr < 0) next
    if (file ~ /^tests\// && fr == 4 &&
        (path == "commands/main_commands.hpp" || path == "commands/refresh_main_window.hpp" ||
         path == "commands/activity_text.hpp")) next
    if (tr > fr || (tr == 6 && from != to)) print line
}')
if [ -n "$bad" ]; then
    echo "Includes against the layers:"
    printf '%s\n' "$bad"
    status=1
fi

long=$(find src -type f | sort | while IFS= read -r file; do
    lines=$(wc -l <"$file")
    [ "$lines" -gt 400 ] && printf '%s: %s lines\n' "$file" "$lines"
    true
done)
if [ -n "$long" ]; then
    echo "Files over 400 lines:"
    printf '%s\n' "$long"
    status=1
fi

posix=$(grep -rn 'Posix' src --exclude-dir=platform || true)
if [ -n "$posix" ]; then
    echo "POSIX names outside src/platform/:"
    printf '%s\n' "$posix"
    status=1
fi

# The system's own headers belong to its platform folder; the rest of src/
# builds on Windows too.
headers=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(sys/|linux/|(unistd|fcntl|poll|pwd|grp|dirent|termios|dlfcn|spawn|signal|windows|winioctl)\.h>)' src |
    grep -vE '^src/platform/(posix|udisks|win32)/' || true)
if [ -n "$headers" ]; then
    echo "System headers outside src/platform/:"
    printf '%s\n' "$headers"
    status=1
fi

exit "$status"
