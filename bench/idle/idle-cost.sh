#!/usr/bin/env bash
# What an idle Dunmar costs: the program on a private X server (Xvfb with openbox), its window
# shown with one idle shell, then hidden; for each, the CPU time it used and how often its threads
# woke up, over a quiet stretch. The goal is under 0.1 % of one core both ways.
#   usage: bench/idle/idle-cost.sh <Dunmar executable> [seconds per stretch, default 30]
set -euo pipefail
exe=${1:?usage: idle-cost.sh <Dunmar executable> [seconds]}
seconds=${2:-30}
for tool in Xvfb openbox xdotool xwininfo dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "idle-cost: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done
if [ -z "${DUNMAR_IDLE_BUS:-}" ]; then
    exec env DUNMAR_IDLE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
wait_until() {
    local tries=$(($1 * 20))
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.05; done
    return 1
}

mkdir -p "$work/home" "$work/run" "$work/config"
chmod 700 "$work/run"
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_until 30 test -s "$work/display" || { echo "idle-cost: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 30 wm_ready || { echo "idle-cost: openbox did not start" >&2; exit 1; }

setsid env -i PATH="$PATH" LANG=C.UTF-8 DISPLAY="$DISPLAY" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" SHELL=/bin/bash \
    "$exe" </dev/null >"$work/program.log" 2>&1 &
program=$!
pids+=("$program")

main_window=""
find_window() {
    local id
    for id in $(xdotool search --class Dunmar 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
        if xwininfo -id "$id" | awk '/Width:/ {exit !($2 >= 320)}'; then main_window=$id; return 0; fi
    done
    return 1
}
wait_until 30 find_window || { echo "idle-cost: the window did not appear" >&2; cat "$work/program.log" >&2; exit 1; }
xdotool windowactivate "$main_window" 2>/dev/null || true

# Clock ticks of CPU time and voluntary wake-ups of every thread of the program.
ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
# Per thread, so that a worker thread that ends during the stretch does not count as negative.
wakeups() {
    local task
    for task in /proc/"$program"/task/*; do
        echo "${task##*/} $(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status" 2>/dev/null)"
    done
}
hz=$(getconf CLK_TCK)
measure() {
    local label=$1 settle=$2 t0 w0 t1 w1
    sleep "$settle" # the start, the fade and the shell's first prompt settle first
    t0=$(ticks)
    wakeups >"$work/wakeups-before"
    sleep "$seconds"
    t1=$(ticks)
    wakeups >"$work/wakeups-after"
    # Threads there at the end: their wake-ups since the start, or since they began.
    local w
    w=$(awk 'NR == FNR {before[$1] = $2; next} {s += $2 - ($1 in before ? before[$1] : 0)} END {print s + 0}' \
        "$work/wakeups-before" "$work/wakeups-after")
    awk -v l="$label" -v t=$((t1 - t0)) -v w="$w" -v s="$seconds" -v hz="$hz" \
        'BEGIN {printf "%-7s CPU %.2f %% of one core   wake-ups %.1f /s\n", l, 100 * t / hz / s, w / s}'
}

# Shown: a blinking cursor rests after 15 s without keys or output, so that is waited out too.
measure shown 20
xdotool key ctrl+grave
is_unmapped() { xwininfo -id "$main_window" 2>/dev/null | grep -q 'Map State: IsUnMapped'; }
wait_until 5 is_unmapped || { echo "idle-cost: the hot key did not hide the window" >&2; exit 1; }
measure hidden 5
