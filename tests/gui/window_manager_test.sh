#!/bin/sh
# Windows come back where they were under a real window manager, however late
# it tells the program the size of its frame: from a saved placement, the
# program is started and closed (through the window manager, as a user closes
# it) ten times under jwm's default configuration and ten times under one that
# centres new windows. The file keeps each window's own area, without the
# frame: every saved placement equals the first, and the main and help windows
# stay within a pixel. A saved top and left of 0 keeps the frame on the screen.
# Usage: window_manager_test.sh PATH/TO/quarnex. Skips (77) without xvfb-run,
# jwm or the X tools.
set -eu

program=$1
if [ -z "${QUARNEX_WM_TEST_DISPLAY:-}" ]; then
    for tool in xvfb-run jwm xdotool xwininfo xprop; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is missing (scripts/install-deps.sh installs it)"
            exit 77
        fi
    done
    export QUARNEX_WM_TEST_DISPLAY=1
    exec xvfb-run -a -s '-screen 0 1280x1024x24' sh "$0" "$@"
fi

# The test presets choose Qt's offscreen platform; this test needs the X server.
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
jwm_pid=
trap 'rm -rf "$work"; [ -n "$jwm_pid" ] && kill "$jwm_pid" 2>/dev/null; true' EXIT
# A copy of the program with its files, so that its placement file is its own.
cp "$program" "$work/quarnex"
cp -r "$(dirname "$program")/QuarnCfg" "$(dirname "$program")/QuarnHlp" "$work/"
cat >"$work/centred.jwmrc" <<'EOF'
<?xml version="1.0"?>
<JWM><FocusModel>click</FocusModel><Key mask="A" key="F4">close</Key>
<Group><Option>centered</Option></Group></JWM>
EOF
# jwm with the given arguments in place of the running one.
start_jwm() {
    if [ -n "$jwm_pid" ]; then
        kill "$jwm_pid"
        wait "$jwm_pid" 2>/dev/null || true
    fi
    jwm "$@" >/dev/null 2>&1 &
    jwm_pid=$!
    sleep 1
}

# "left top width height" of a window's own area.
inner() {
    xwininfo -id "$1" | awk -F: '/Absolute upper-left X/{x = $2 + 0}
        /Absolute upper-left Y/{y = $2 + 0} /Width/{w = $2 + 0}
        /Height/{h = $2 + 0} END {print x, y, w, h}'
}

# The same of its outer frame, decorations included (extents: left right top bottom).
outer() {
    set -- $(inner "$1") $(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')
    echo "$(($1 - $5)) $(($2 - $7)) $(($3 + $5 + $6)) $(($4 + $7 + $8))"
}

window() {
    found=$(timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
    if [ -z "$found" ]; then
        echo "FAIL: no window '$1' appeared" >&2
        exit 1
    fi
    echo "$found"
}

# The frames once they stay put (the manager and the program may still be
# placing them): the same reading twice, half a second apart.
settled() {
    last=
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        now=$("$@")
        [ "$now" = "$last" ] && break
        last=$now
        sleep 0.5
    done
    echo "$now"
}

# Closes the main window through the window manager and waits for the end.
close_program() {
    xdotool windowactivate --sync "$1" key --clearmodifiers alt+F4
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        kill -0 "$2" 2>/dev/null || return 0
        sleep 0.5
    done
    echo "FAIL: the program did not end when its window was closed"
    kill "$2"
    exit 1
}

frames() {
    echo "main $(outer "$main") help $(outer "$help") area $(inner "$main")"
}

# Start $1 and its close; prints the outer frames of both windows and the main
# window's area. With QUARNEX_WM_TEST_SHOTS set to a folder, a screenshot of
# each start goes there.
cycle() {
    "$work/quarnex" >/dev/null 2>&1 &
    pid=$!
    main=$(window Quarnex)
    help=$(window Documentation)
    seen=$(settled frames)
    if [ -n "${QUARNEX_WM_TEST_SHOTS:-}" ]; then
        import -window root "$QUARNEX_WM_TEST_SHOTS/start-$1.png"
    fi
    echo "$seen"
    close_program "$main" "$pid"
}

failed=0
check() {
    if [ "$1" != "$2" ]; then
        echo "FAIL: $3: expected '$2', saw '$1'"
        failed=1
    fi
}

# Within a pixel: every number of $1 against $2.
close_to() {
    echo "$1 $2" | awk '{ n = NF / 2; for (i = 1; i <= n; i++) if ($i != $(i + n) &&
        $i !~ /^[a-z]/) { d = $i - $(i + n); if (d > 1 || d < -1) exit 1 } }'
}

saved() {
    grep -E '^(QrnF|HelpF) ' "$work/QuarnCfg/Quarn.cfg" | tr -d '\r' | tr '\n' ' '
}

# In whole pixels (15 twips at 96 dpi), so that the first save keeps them.
placement='QrnF = 1, 1500, 3000, 9000, 12000 HelpF = 1, 6000, 9000, 4995, 7995 '
for config in default centred; do
    if [ "$config" = default ]; then start_jwm; else start_jwm -f "$work/centred.jwmrc"; fi
    printf '[WINDOWS]\r\nQrnF = 1, 1500, 3000, 9000, 12000\r\nHelpF = 1, 6000, 9000, 4995, 7995\r\n' \
        >"$work/QuarnCfg/Quarn.cfg"
    first=$(cycle "$config-1")
    echo "$config start 1: $first; saved: $(saved)"
    check "$(echo "$first" | cut -d' ' -f12-15)" "200 100 800 600" \
        "$config: the main window's area as the file says"
    check "$(saved)" "$placement" "$config start 1: saved placement"
    for run in 2 3 4 5 6 7 8 9 10; do
        seen=$(cycle "$config-$run")
        echo "$config start $run: $seen; saved: $(saved)"
        close_to "$seen" "$first" || { echo "FAIL: $config start $run moved from '$first'"; failed=1; }
        check "$(saved)" "$placement" "$config start $run: saved placement"
    done

    # A saved top and left of 0 keep the frame in the screen's corner.
    printf '[WINDOWS]\r\nQrnF = 1, 0, 0, 9000, 12000\r\nHelpF = 0, 0, 0, 5000, 8000\r\n' \
        >"$work/QuarnCfg/Quarn.cfg"
    "$work/quarnex" >/dev/null 2>&1 &
    pid=$!
    main=$(window Quarnex)
    corner=$(settled outer "$main")
    echo "$config, top and left 0: $corner"
    check "$(echo "$corner" | cut -d' ' -f1-2)" "0 0" "$config: main window at top and left 0"
    close_program "$main" "$pid"
done
exit $failed
