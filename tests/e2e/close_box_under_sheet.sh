#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The main window's close box while the score sheet of a finished deal is up, under a real
# window manager (openbox): the deal is played from the keyboard to the sheet, then the window
# manager is asked to close the main window. The program must end by itself with status 0,
# without a question and without dealing the next hand: the game kept is the scored deal.
#
# Usage: close_box_under_sheet.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool, ImageMagick, openbox, xprop or wmctrl).
set -uo pipefail

bin=${1:?usage: close_box_under_sheet.sh <halbeet binary> <output dir>}
out=${2:?usage: close_box_under_sheet.sh <halbeet binary> <output dir>}

for tool in openbox xprop wmctrl; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

script=close_box_under_sheet
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 90
save=$XDG_DATA_HOME/Dovelarks/Halbeet/game.json

key() { timeout 5 xdotool key --clearmodifiers --delay 40 "$@" || fail "xdotool could not press $*"; }
focus() { timeout 5 xdotool windowactivate --sync "$1" 2>/dev/null || timeout 5 xdotool windowfocus "$1" || fail "no focus for window $1"; }

start_x

# The window manager, with its own settings folder; it is up once it names itself on the root.
HOME=$work XDG_CONFIG_HOME=$work/openbox-config openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.2
done
timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    fail "openbox did not start"
echo "openbox manages the screen"

start_program
main=$(wait_window Halbeet 20 560) || fail "the main window did not appear"
echo "main window $main"
names=$(wait_window Halbeet 10 286) || fail "the name dialog did not appear"
focus "$names"
key ctrl+a
timeout 5 xdotool type --delay 20 "Tester" || fail "xdotool could not type"
key Return
for _ in $(seq 50); do
    [[ -z $(windows_named Halbeet | while read -r id; do geometry "$id"; ((WW == 286)) && echo "$id"; done) ]] && break
    sleep 0.2
done
focus "$main"

# The bid: four times Down chooses "5" (three computer bids of at least 2 make 11, so the
# deal is played), Return confirms it.
sleep 1.5 # the deal is laid out card by card
key Down Down Down Down Return
sleep 1
[[ -z $(message_window) ]] || fail "the deal was not played after the bid"

# The play: Return plays the marked card; a refused one is followed by Right, to the next.
deadline=$((SECONDS + 60))
sheet=""
while [[ -z $sheet ]]; do
    ((SECONDS < deadline)) || fail "no score sheet after 60 s of play"
    alive
    key Return
    sleep 0.3
    key Right
    sheet=$(windows_named Scores)
done
sleep 0.5
[[ -s $save ]] || fail "no saved game while the sheet is up"
cp "$save" "$work/scored.json"
shot close_box_under_sheet-1-sheet.png
echo "score sheet $sheet up"

# The window manager asks the main window to close, as its close box or a taskbar's Close
# does. (openbox itself leaves the close box of a window under a modal one without effect,
# so the request is made through it the way a taskbar makes it: _NET_CLOSE_WINDOW.)
timeout 5 wmctrl -i -c "$main" || fail "wmctrl could not ask the window manager to close the main window"
echo "the window manager was asked to close the main window"

wait_for_end "the program did not end when the window manager asked the main window to close"
((status == 0)) || fail "the program ended with status $status"
[[ -s $save ]] || fail "the game was not kept"
cmp -s "$save" "$work/scored.json" || fail "the game kept is not the scored deal: the next deal was dealt"
echo "PASS: a close of the main window under the score sheet ended the program, the scored deal kept; screenshot in $out"
exit 0
