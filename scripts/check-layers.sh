#!/bin/sh
# Fails when a folder of src/ includes a folder above it, when code outside
# the platform folder reaches into it, when a file grows past 400 lines, or
# when a POSIX-specific name leaks out of src/platform/. Prints every
# offending line.
set -eu
cd "$(dirname "$0")/.."

status=0

# Rank of each folder: a folder may include its own rank and those below.
# state, store, image and scan are one layer and may include each other.
rank() {
    case "$1" in
    gui | cli) echo 6 ;;
    commands) echo 5 ;;
    state | store | image | scan) echo 4 ;;
    fat12) echo 3 ;;
    device) echo 2 ;;
    ports) echo 1 ;;
    core) echo 0 ;;
    *) echo "" ;;
    esac
}

# The places that build the platform and hand it to the rest.
may_include_platform() {
    case "$1" in
    src/platform/* | src/gui/program.cpp | src/cli/cli_world.hpp | src/cli/cli_world.cpp) return 0 ;;
    *) return 1 ;;
    esac
}

# Quoted or angled, with or without leading "../": the first folder named
# after those is the layer reached.
includes=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+["<](\.\.?/)*[^">/]+/' src || true)
bad=$(printf '%s\n' "$includes" | while IFS= read -r line; do
    [ -z "$line" ] && continue
    file=${line%%:*}
    from=$(printf '%s' "$file" | cut -d/ -f2)
    to=$(printf '%s' "$line" | sed -E 's/^[^"<]*["<](\.\.?\/)*([^">/]+)\/.*$/\2/')
    if [ "$to" = platform ]; then
        may_include_platform "$file" || printf '%s\n' "$line"
        continue
    fi
    if [ "$from" = platform ]; then
        # The platform implements the ports: ports and core only (system
        # headers are no layer).
        case "$to" in ports | core) ;; *) [ -z "$(rank "$to")" ] || printf '%s\n' "$line" ;; esac
        continue
    fi
    from_rank=$(rank "$from")
    to_rank=$(rank "$to")
    [ -z "$from_rank" ] || [ -z "$to_rank" ] && continue
    if [ "$to_rank" -gt "$from_rank" ]; then
        printf '%s\n' "$line"
    elif [ "$to_rank" -eq 6 ] && [ "$from" != "$to" ]; then
        # The two front ends stand beside each other, not on each other.
        printf '%s\n' "$line"
    fi
done)
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

exit "$status"
