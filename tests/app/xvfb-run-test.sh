#!/usr/bin/env bash
# Starts the built program on a private X server (Xvfb) under a window manager (openbox) and checks
# that it maps its window there with a shell running, and that a command typed on the keyboard runs
# in that shell; then ends it with SIGTERM and checks that it leaves with status 0. A second argument
# saves a screenshot of the screen as PNG.
#   usage: xvfb-run-test.sh <path to the Dunmar executable> [screenshot.png]
set -euo pipefail

exe=${1:?usage: xvfb-run-test.sh <Dunmar executable> [screenshot.png]}
shot=${2:-}
for tool in Xvfb openbox xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "xvfb-run-test: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "xvfb-run-test: $*" >&2
    echo "--- program output ---" >&2
    cat "$work/program.log" >&2 2>/dev/null || true
    exit 1
}

mkdir -p "$work/home" "$work/run" "$work/config"
chmod 700 "$work/run"

# The server picks a free display number and writes it to descriptor 3.
# -noreset: an X server resets when its last client leaves, and a client that connects during the
# reset is refused (the readiness probes below connect and leave before the window manager is in).
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

# A user of its own, and no session bus: nothing of this machine's desktop is touched.
env -i PATH="$PATH" LANG=C.UTF-8 DISPLAY="$DISPLAY" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    "$exe" >"$work/program.log" 2>&1 &
program=$!
pids+=("$program")

window=""
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --class Dunmar 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$program" 2>/dev/null || fail "the program ended before it showed a window"
    sleep 0.1
done
[ -n "$window" ] || fail "no window of class Dunmar was mapped"

info=$(xwininfo -id "$window")
grep -q 'Map State: IsViewable' <<<"$info" || fail "the window is not viewable: $info"
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
[ "$width" -ge 320 ] && [ "$height" -ge 220 ] || fail "the window is only ${width}x${height}"
pgrep -P "$program" >/dev/null || fail "no shell runs in the window"
echo "xvfb-run-test: window $window mapped at ${width}x${height} on $DISPLAY"

# Typed as a user would: the keys reach the shell of the active tab, which runs in the home folder.
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" || true
# A try whose keys arrived before the window had the keyboard is cleared with Control-U and repeated.
for _ in 1 2 3; do
    xdotool key ctrl+u
    xdotool type --delay 15 'echo $((6*7)) > file'
    xdotool key Return
    for _ in $(seq 100); do [ -s "$work/home/file" ] && break 2; sleep 0.1; done
done
[ "$(cat "$work/home/file" 2>/dev/null)" = "42" ] ||
    fail "typing 'echo \$((6*7)) > file' and Return did not write 42 (got '$(cat "$work/home/file" 2>/dev/null)')"
echo "xvfb-run-test: a typed command ran in the shell"

if [ -n "$shot" ]; then
    sleep 1 # the prompt's first frame
    if command -v xwd >/dev/null && command -v convert >/dev/null; then
        xwd -root -silent | convert xwd:- "$shot" || echo "xvfb-run-test: could not save the screenshot" >&2
    else
        echo "xvfb-run-test: xwd or convert is missing; no screenshot" >&2
    fi
fi

kill -TERM "$program"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended the program with status $status"
[ -s "$work/config/dunmar/defaults.json" ] || fail "nothing was saved at the end"
echo "xvfb-run-test: passed"
