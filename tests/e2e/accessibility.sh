#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as assistive technology meets it, in English and in Arabic: the program runs with
# its accessibility bridge on, in a private session bus with the accessibility bus, and
# atspi_check.py walks its accessibility tree (every visible object must have a name, at the
# bid and in the middle of a trick) and receives the announcements of one whole trick.
#
# Usage: accessibility.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool, dbus-run-session or pyatspi).
set -uo pipefail

bin=${1:?usage: accessibility.sh <halbeet binary> <output dir>}
out=${2:?usage: accessibility.sh <halbeet binary> <output dir>}

# Debian's own Python, which has the bindings (a Python of the user's may stand first in PATH).
py=/usr/bin/python3
[[ -x $py ]] || py=python3
if ! command -v dbus-run-session >/dev/null 2>&1 || ! "$py" -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: dbus-run-session or python3-pyatspi is not installed"
    exit 77
fi
# A private session bus for the whole run, so the accessibility bus is ours alone.
if [[ -z ${HALBEET_PRIVATE_BUS:-} ]]; then
    HALBEET_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

script=accessibility
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 400
start_x
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export NO_AT_BRIDGE=0

key() { timeout 5 xdotool key --clearmodifiers --delay 40 "$@" || fail "xdotool could not press $*"; }
focus() { timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || timeout 5 xdotool windowfocus "$1" || fail "no focus for window $1"; }

# $1 language code, $2 main window title.
check_language() {
    local lang=$1 title=$2 names
    printf '[DELAYCARD]\r\nDELAY=100\r\n[LANGUAGE]\r\nLANG=%s\r\n' "$lang" >"$APPDATA/Dovelarks/Halbeet/Halbeet.ini"
    rm -rf "$XDG_DATA_HOME"
    start_program
    main=$(wait_window "$title" 20 560) || fail "[$lang] the main window did not appear"
    names=$(wait_window "$title" 10 286) || fail "[$lang] the name dialog did not appear"
    focus "$names"
    key ctrl+a
    timeout 5 xdotool type --delay 20 "Reader" || fail "xdotool could not type"
    key Return
    sleep 2.5 # the deal is laid out card by card
    focus "$main"
    timeout 200 "$py" "$(dirname "$0")/atspi_check.py" "$lang" "$main" || fail "[$lang] the accessibility check failed"
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
}

check_language EN Halbeet
check_language AR "الهلبيط"
echo "PASS"
exit 0
