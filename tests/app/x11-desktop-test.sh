#!/usr/bin/env bash
# The program on a desktop of its own: a private Xvfb with openbox as the window manager and trayer
# as the tray, on a private session bus, driven with xdotool and checked with xprop, xwininfo and
# the screen's pixels. Every process it starts is stopped again by its id.
#   usage: x11-desktop-test.sh <Dunmar executable> <scenario> [screenshot.png]
# Scenarios: under-tray, hot-key, comes-back, click-outside, always-on-top, shape, detach-restart, chords,
# dialog-focus.
set -euo pipefail

exe=${1:?usage: x11-desktop-test.sh <Dunmar executable> <scenario> [screenshot.png]}
scenario=${2:?scenario missing}
shot=${3:-}
# A private session bus around everything (the tray icon looks for a tray service on it).
if [ -z "${DUNMAR_X11_TEST_BUS:-}" ]; then
    exec env DUNMAR_X11_TEST_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
for tool in Xvfb openbox trayer xdotool xwininfo xprop xwd; do
    command -v "$tool" >/dev/null || { echo "x11-desktop-test: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
program=""
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "x11-desktop-test [$scenario]: $*" >&2
    echo "--- program output ---" >&2
    cat "$work/program.log" >&2 2>/dev/null || true
    exit 1
}
# Polls a command every 50 ms for up to $1 seconds.
wait_until() {
    local seconds=$1
    shift
    local tries=$((seconds * 20))
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

mkdir -p "$work/home" "$work/run" "$work/config/dunmar"
chmod 700 "$work/run"

# The server picks a free display and writes its number to descriptor 3; a black root makes the
# window's outline easy to tell from the desktop.
# -noreset: an X server resets when its last client leaves, and a client that connects during the
# reset is refused (the readiness probes below connect and leave before the window manager is in).
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset -br 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_until 30 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 30 wm_ready ||
    fail "openbox did not start: $(cat "$work/openbox.log"); the X server said: $(cat "$work/xvfb.log")"

# The tray: a 24-high strip at the top right that the window manager keeps free of windows.
trayer --edge top --align right --widthtype request --height 24 --SetDockType true --SetPartialStrut true \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
tray_ready() { xwininfo -root -tree 2>/dev/null | grep -q '("panel" "trayer")'; }
wait_until 10 tray_ready || fail "trayer did not start"

# ---- the program ---------------------------------------------------------------------------

start_program() {
    env -i PATH="$PATH" LANG=C.UTF-8 DISPLAY="$DISPLAY" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
        XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
        "$exe" >>"$work/program.log" 2>&1 &
    program=$!
    pids+=("$program")
}
stop_program() {
    kill -TERM "$program"
    local status=0
    wait "$program" || status=$?
    [ "$status" -eq 0 ] || fail "SIGTERM ended the program with status $status"
}
# Writes settings before a start, as a user's earlier run would have left them.
seed_settings() { printf '%s\n' "$1" >"$work/config/dunmar/defaults.json"; }

# x y width height of a window on the screen.
geometry_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
is_mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
is_unmapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsUnMapped'; }

# The program's windows: the drop-down window, and the icon inside the tray.
main_window=""
tray_icon=""
find_windows() {
    main_window=""
    tray_icon=""
    local id g
    for id in $(xdotool search --class Dunmar 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
        read -r _ _ w h <<<"$(geometry_of "$id")"
        if [ "$w" -ge 320 ] && [ "$h" -ge 220 ]; then main_window=$id; fi
        if [ "$w" -le 48 ] && [ "$h" -le 48 ] && [ "$w" -ge 8 ]; then tray_icon=$id; fi
    done
    [ -n "$main_window" ] && [ -n "$tray_icon" ]
}
# The window is shown and its fade and slide are over (its place has stopped changing).
settled() {
    local a b
    a=$(geometry_of "$main_window")
    sleep 0.1
    b=$(geometry_of "$main_window")
    [ "$a" = "$b" ]
}
launch() {
    start_program
    wait_until 30 find_windows || fail "the window and the tray icon did not both appear"
    wait_until 5 settled || fail "the window kept moving"
}

# The colour of one screen pixel as "r g b", read from an xwd dump of the root window.
pixel() {
    xwd -root -silent >"$work/screen.xwd"
    /usr/bin/python3 - "$work/screen.xwd" "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
f = struct.unpack(">25I", data[:100])
header_size, width, bpp, line, ncolors = f[0], f[4], f[11], f[12], f[19]
x, y = int(sys.argv[2]), int(sys.argv[3])
offset = header_size + ncolors * 12 + y * line + x * (bpp // 8)
order = "<" if f[7] == 0 else ">"
value = struct.unpack(order + "I", data[offset:offset + 4])[0]
print((value >> 16) & 255, (value >> 8) & 255, value & 255)
PY
}
is_black() { [ "$(pixel "$1" "$2")" = "0 0 0" ]; }

# ---- the scenarios ------------------------------------------------------------------------

scenario_under_tray() {
    launch
    read -r ix iy iw ih <<<"$(geometry_of "$tray_icon")"
    read -r x y w h <<<"$(geometry_of "$main_window")"
    local centre=$((ix + iw / 2))
    [ "$y" -eq $((iy + ih + 4)) ] || fail "the window's top is at $y, not 4 under the icon (icon $ix,$iy ${iw}x$ih)"
    [ "$centre" -gt "$x" ] && [ "$centre" -lt $((x + w)) ] || fail "the icon ($centre) is not over the window ($x..$((x + w)))"
    # A click on the icon hides the window, the next one shows it, and a double click acts once.
    xdotool mousemove "$centre" $((iy + ih / 2)) click 1
    wait_until 5 is_unmapped "$main_window" || fail "a click on the icon did not hide the window"
    # Clicks closer together than the double-click interval are one double click.
    sleep 0.5
    xdotool click 1
    wait_until 5 is_mapped "$main_window" || fail "a second click did not show the window"
    wait_until 5 settled || fail "the window kept moving"
    sleep 0.5
    xdotool click --repeat 2 --delay 60 1
    wait_until 5 is_unmapped "$main_window" || fail "a double click did not hide the window"
    sleep 0.5
    is_unmapped "$main_window" || fail "a double click toggled twice"
    if [ -n "$shot" ]; then
        sleep 0.5
        xdotool click 1
        wait_until 5 is_mapped "$main_window" && wait_until 5 settled
        sleep 0.5
        xwd -root -silent >"$shot.xwd" && echo "x11-desktop-test: screen saved as $shot.xwd"
    fi
}

scenario_hot_key() {
    launch
    # No --window: the key goes through the server, where the global grab catches it.
    xdotool key ctrl+grave
    wait_until 5 is_unmapped "$main_window" || fail "Control+\` did not hide the window"
    xdotool key ctrl+grave
    wait_until 5 is_mapped "$main_window" || fail "Control+\` did not show the window again"
}

# The window comes back after the desktop took it away ("show desktop", Super+D in openbox), and
# the hot key brings a window shown behind another one to the front instead of hiding it.
showing_desktop() { xprop -root _NET_SHOWING_DESKTOP 2>/dev/null | grep -q '= 1'; }
not_showing_desktop() { ! showing_desktop; }
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
scenario_comes_back() {
    launch
    xdotool key super+d
    wait_until 5 showing_desktop || fail "Super+D did not show the desktop"
    xdotool key ctrl+grave
    wait_until 5 not_showing_desktop || fail "the hot key left the desktop shown"
    wait_until 5 is_mapped "$main_window" || fail "the hot key did not bring the window back"
    wait_until 5 is_active "$main_window" || fail "the window came back without the keyboard"

    xmessage -geometry +0+0 "another window" &
    pids+=($!)
    local other=""
    find_other() { other=$(xdotool search --class Xmessage 2>/dev/null | head -1); [ -n "$other" ]; }
    wait_until 10 find_other || fail "xmessage did not start"
    xdotool windowactivate "$other" 2>/dev/null || true
    wait_until 5 is_active "$other" || fail "the other window did not take the keyboard"
    is_mapped "$main_window" || fail "the window went when another one took the keyboard"
    xdotool key ctrl+grave
    wait_until 5 is_active "$main_window" || fail "the hot key did not bring the window to the front"
    is_mapped "$main_window" || fail "the hot key hid a window shown behind another one"
    xdotool key ctrl+grave
    wait_until 5 is_unmapped "$main_window" || fail "the hot key did not hide the window in front"
}

scenario_click_outside() {
    seed_settings '{"hideOnClickOutside": true}'
    launch
    read -r x y w h <<<"$(geometry_of "$main_window")"
    # A click inside the window leaves it.
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    sleep 0.5
    is_mapped "$main_window" || fail "a click inside the window hid it"
    xdotool mousemove 100 600 click 1
    wait_until 5 is_unmapped "$main_window" || fail "a click on the desktop did not hide the window"
}

scenario_always_on_top() {
    launch
    xprop -id "$main_window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
        fail "kept above is the default, but the state is: $(xprop -id "$main_window" _NET_WM_STATE)"
    xprop -id "$main_window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the window is in the taskbar"
    stop_program
    seed_settings '{"alwaysOnTop": false, "followAllSpaces": true}'
    launch
    ! xprop -id "$main_window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "still kept above with the setting off"
    xprop -id "$main_window" _NET_WM_DESKTOP | grep -q '4294967295' ||
        fail "not on every desktop: $(xprop -id "$main_window" _NET_WM_DESKTOP)"
}

# The outline: the arrow under the icon is window, the corners beside it are desktop. A loaded
# machine may still be fading the window in or painting it, so the picture is looked at again until
# it shows the outline or the time is up; the last look's fault is the one reported.
docked_shape_fault() {
    read -r ix iy iw ih <<<"$(geometry_of "$tray_icon")"
    read -r x y w h <<<"$(geometry_of "$main_window")"
    local tip=$((ix + iw / 2))
    [ "$tip" -gt $((x + w - 24)) ] && tip=$((x + w - 24))
    xwininfo -shape -id "$main_window" | grep -q 'Window shape extents' || { echo "the window has no shape"; return; }
    ! is_black "$tip" $((y + 8)) || { echo "no arrow under the icon at $tip"; return; }
    is_black $((tip - 40)) $((y + 3)) || { echo "the window is not cut away beside the arrow"; return; }
    is_black $((x + 1)) $((y + h - 2)) || { echo "the lower left corner is not rounded"; return; }
}

docked_shape_shown() { [ -z "$(docked_shape_fault)" ]; }

check_docked_shape() {
    wait_until 10 docked_shape_shown || fail "$(docked_shape_fault)"
}

scenario_shape() {
    launch
    check_docked_shape
}

scenario_detach_restart() {
    launch
    check_docked_shape
    # The tray menu's second item detaches the window.
    read -r ix iy iw ih <<<"$(geometry_of "$tray_icon")"
    local before
    before=$(xdotool search --onlyvisible --class Dunmar | wc -l)
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
    menu_open() { [ "$(xdotool search --onlyvisible --class Dunmar | wc -l)" -gt "$before" ]; }
    wait_until 5 menu_open || fail "the tray menu did not open"
    xdotool key Down Down Return
    detached() { grep -q '"windowDetached": *true' "$work/config/dunmar/defaults.json" 2>/dev/null ||
        ! is_black $((x + 40)) $((y + 2)); }
    read -r x y w h <<<"$(geometry_of "$main_window")"
    wait_until 5 detached || fail "the window did not detach"
    # Moved by the user, then the program ends and starts again.
    xdotool windowmove "$main_window" 150 220
    moved() { [ "$(geometry_of "$main_window" | cut -d' ' -f1-2)" = "150 220" ]; }
    wait_until 5 moved || fail "the window did not move: $(geometry_of "$main_window")"
    stop_program
    grep -q '"windowX"' "$work/config/dunmar/defaults.json" || fail "the detached place was not saved"
    launch
    read -r x y w h <<<"$(geometry_of "$main_window")"
    [ "$x $y" = "150 220" ] || fail "the detached window came back at $x,$y, not 150,220"
    ! is_black $((x + 40)) $((y + 2)) || fail "a detached window has a flat top, but this one is cut away there"
}

# The program's chords as a user types them on this desktop: Control+Shift+T opens a tab, Super+T
# too (openbox lets it through), and plain Control+T stays the shell's. The saved tabs count them.
saved_tab_count() {
    /usr/bin/python3 -c 'import json, sys; print(len(json.load(open(sys.argv[1])).get("sessionTabs", [])))' \
        "$work/config/dunmar/defaults.json" 2>/dev/null || echo 0
}
scenario_chords() {
    launch
    read -r x y w h <<<"$(geometry_of "$main_window")"
    # The keyboard goes to the window's terminal.
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    xdotool key ctrl+t
    xdotool key ctrl+shift+t
    tabs_are() { [ "$(saved_tab_count)" = "$1" ]; }
    wait_until 10 tabs_are 2 || fail "Control+Shift+T did not open a tab (saved tabs: $(saved_tab_count))"
    xdotool key super+t
    wait_until 10 tabs_are 3 || fail "Super+T did not open a tab (saved tabs: $(saved_tab_count))"
    xdotool key ctrl+shift+w
    wait_until 10 tabs_are 2 || fail "Control+Shift+W did not close a tab (saved tabs: $(saved_tab_count))"
}

# A dialog of the program gives the window the keyboard back when it closes: openbox focuses no
# window after a dialog of a frameless tool window. Typed text then reaches the editor again.
scenario_dialog_focus() {
    launch
    read -r x y w h <<<"$(geometry_of "$main_window")"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    wait_until 5 is_active "$main_window" || fail "a click did not give the window the keyboard"
    xdotool key ctrl+shift+e
    local dialog=""
    find_dialog() { dialog=$(xdotool search --onlyvisible --name '^Save As$' 2>/dev/null | head -1); [ -n "$dialog" ]; }
    tabs_are() { [ "$(saved_tab_count)" = "$1" ]; }
    # The editor tab is in the session once it has taken the keyboard.
    wait_until 10 tabs_are 2 || fail "Control+Shift+E did not open an editor tab"
    xdotool key ctrl+shift+alt+s
    wait_until 10 find_dialog || fail "Control+Shift+Alt+S did not open the save dialog"
    wait_until 5 is_active "$dialog" || fail "the save dialog did not take the keyboard"
    xdotool key Escape
    wait_until 5 is_active "$main_window" ||
        fail "the window did not get the keyboard back (active: $(xdotool getactivewindow 2>&1 | tail -1))"
}

case "$scenario" in
under-tray) scenario_under_tray ;;
hot-key) scenario_hot_key ;;
comes-back) scenario_comes_back ;;
click-outside) scenario_click_outside ;;
always-on-top) scenario_always_on_top ;;
shape) scenario_shape ;;
detach-restart) scenario_detach_restart ;;
chords) scenario_chords ;;
dialog-focus) scenario_dialog_focus ;;
*) fail "unknown scenario" ;;
esac
stop_program
echo "x11-desktop-test [$scenario]: passed"
