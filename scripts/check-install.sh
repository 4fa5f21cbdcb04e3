#!/usr/bin/env bash
# Checks an installed copy, built beforehand (default: the release build):
# installs it into an empty folder, runs the installed terminal tool there
# (the template comes from share/quarnex), validates the menu entry, the
# AppStream metadata, the man pages and the bash completion, runs the
# installed GUI under Xvfb and a window manager and closes it as a user would
# (its placement file must land under $XDG_CONFIG_HOME/quarnex/), then builds
# the Debian package and has lintian check it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
[ -f "$prefix/share/quarnex/QuarnCfg/FAT12.144" ] || fail "no template under share/quarnex"
[ ! -e "$prefix/bin/QuarnCfg" ] || fail "files beside the installed programs"

# The terminal tool: a store image made from the installed template.
cli=$prefix/bin/quarnex-cli
"$cli" --help | grep -q '^Usage: quarnex-cli' || fail "quarnex-cli --help"
"$cli" create "$work/store.img" --id check --base disk > /dev/null
"$cli" image new "$work/one.img" --id one > /dev/null
"$cli" put "$work/store.img" 5 "$work/one.img" --yes > /dev/null
listing=$("$cli" list "$work/store.img")
grep -qx 'Store ID: CHECK' <<< "$listing" || fail "list: no store ID"
grep -q '^005 ONE' <<< "$listing" || fail "list: slot 005 is not ONE"
grep -q '^999 DISK999' <<< "$listing" || fail "list: slot 999 is not DISK999"

desktop-file-validate "$prefix"/share/applications/*.desktop
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml > /dev/null
for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

# Completion: the words offered after "quarnex-cli ", "quarnex-cli image ",
# "quarnex-cli floppy read " and "quarnex-cli files ".
completions=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    offer() {
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _quarnex_cli quarnex-cli; echo "${COMPREPLY[*]}"
    }
    offer quarnex-cli ""; offer quarnex-cli image ""; offer quarnex-cli floppy read ""
    offer quarnex-cli files ""' _ \
    "$prefix/share/bash-completion/completions/quarnex-cli")
[ "$completions" = $'scan list get put describe format create backup restore verify image floppy eject files find export import\nnew zero\na b\nls get put rm mkdir' ] ||
    fail "completion offered: $completions"

# The GUI as a user drives it under a window manager: Continue on the rights
# advisory when it shows (the small window), then the main window closed
# through the window manager, which saves the placement.
cat > "$work/gui.sh" << 'GUI'
set -eu
jwm > /dev/null 2>&1 &
wm=$!
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$1" > "$2/gui.log" 2>&1 &
app=$!
# Prints the main window once it shows, answering the advisory on the way;
# fails after 30 seconds or when the program ended.
main_window() {
    for _ in $(seq 150); do
        kill -0 $app 2> /dev/null || return 1
        for w in $(xdotool search --onlyvisible --name '^Quarnex$' 2> /dev/null); do
            height=$(xdotool getwindowgeometry "$w" 2> /dev/null | sed -n 's/.*Geometry: [0-9]*x//p')
            if [ -n "$height" ] && [ "$height" -lt 300 ]; then
                echo "check-install: Continue on the rights advisory" >&2
                xdotool windowactivate --sync "$w" key --window "$w" Return 2> /dev/null || true
            elif [ -n "$height" ]; then
                echo "$w"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}
main=$(main_window)
sleep 0.5
xdotool windowactivate --sync "$main" key alt+F4
status=0
wait $app || status=$?
kill $wm
exit $status
GUI
mkdir -m 700 "$work/config" "$work/home"
XDG_CONFIG_HOME=$work/config HOME=$work/home \
    xvfb-run -a -s '-screen 0 1280x1024x24' bash "$work/gui.sh" "$prefix/bin/quarnex" "$work" ||
    fail "the installed GUI did not end when closed: $(cat "$work/gui.log")"
grep -q '^QrnF = 1,' "$work/config/quarnex/Quarn.cfg" ||
    fail "no placement file under \$XDG_CONFIG_HOME/quarnex"

# The Debian package.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null
deb=$(ls "$work"/package/quarnex_*.deb)
lintian --fail-on error "$deb"
echo "check-install: installed copy, validators, GUI placement and package all pass"
