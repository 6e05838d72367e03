#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole deal played with the keyboard alone, in English and again in Arabic: the name typed,
# the bid chosen in the list and confirmed, every card marked and played, the score sheet
# closed, all with xdotool key presses (the keyboard is given to each window with
# windowfocus; the pointer never moves and never clicks). Screenshots of the keyboard's mark
# on a card in both languages.
#
# Usage: keyboard_deal.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
set -uo pipefail

bin=${1:?usage: keyboard_deal.sh <halbeet binary> <output dir>}
out=${2:?usage: keyboard_deal.sh <halbeet binary> <output dir>}

script=keyboard_deal
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 500
start_x

key() { timeout 5 xdotool key --clearmodifiers --delay 40 "$@" || fail "xdotool could not press $*"; }
focus() { timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || timeout 5 xdotool windowfocus "$1" || fail "no focus for window $1"; }

# Waits, up to 15 s, until window $1 stops changing: two pictures of it 0.4 s apart alike. A
# key pressed while the deal is still laid out card by card would be lost, and under load
# that takes longer than any fixed wait.
wait_still() {
    local before=$work/still-before.png after=$work/still-after.png end=$((SECONDS + 15))
    timeout 10 import -window "$1" "$before" 2>/dev/null
    while ((SECONDS < end)); do
        sleep 0.4
        timeout 10 import -window "$1" "$after" 2>/dev/null
        same_picture "$before" "$after" && return 0
        mv "$after" "$before"
    done
    echo "NOTE: window $1 still changed after 15 s"
}

# The windows titled $1 other than the main window.
other_window() { windows_named "$1" | while read -r id; do [[ $id != "$main" ]] && echo "$id"; done; }

# $1 language code, $2 main window title, $3 score sheet title.
play_one_deal() {
    local lang=$1 title=$2 sheet_title=$3 names sheet notice attempt shown=0
    printf '[DELAYCARD]\r\nDELAY=100\r\n[LANGUAGE]\r\nLANG=%s\r\n' "$lang" >"$APPDATA/Dovelarks/Halbeet/Halbeet.ini"
    rm -rf "$XDG_DATA_HOME"
    start_program
    main=$(wait_window "$title" 20 560) || fail "[$lang] the main window did not appear"
    echo "[$lang] main window $main"

    names=$(wait_window "$title" 10 286) || fail "[$lang] the name dialog did not appear"
    focus "$names"
    key ctrl+a
    timeout 5 xdotool type --delay 20 "Keys" || fail "xdotool could not type"
    key Return
    for _ in $(seq 50); do
        [[ -z $(windows_named "$title" | while read -r id; do geometry "$id"; ((WW == 286)) && echo "$id"; done) ]] && break
        sleep 0.2
    done
    focus "$main"

    # The bid: the list has the keyboard; four times Down chooses "5" (three computer bids of
    # at least 2 make 11, so the deal cannot be thrown in), Tab goes to the button, Space.
    for attempt in 1 2 3; do
        wait_still "$main" # the deal is laid out card by card
        key Down Down Down Down Tab space
        sleep 1
        notice=$(other_window "$title")
        [[ -z $notice ]] && break
        echo "[$lang] the deal passed; answering the notice with Return"
        focus "$notice"
        key Return
        focus "$main"
    done
    echo "[$lang] bid confirmed"

    # The play: Return plays the marked card; a refused card (or a key pressed while the
    # computers play, which does nothing) is followed by Right, to the next card.
    local deadline=$((SECONDS + 200))
    while :; do
        ((SECONDS < deadline)) || fail "[$lang] no score sheet after 200 s of play"
        alive
        sheet=$(windows_named "$sheet_title")
        [[ -n $sheet ]] && break
        if ((shown == 0)); then
            # Once the computers before the human have played: the mark moved into the fan.
            sleep 2.5
            key Right Right Right Right
            sleep 0.5
            shot "keyboard_deal-mark-$lang.png"
            shown=1
        fi
        key Return
        sleep 0.3
        key Right
    done
    sleep 0.5
    shot "keyboard_deal-scores-$lang.png"
    echo "[$lang] score sheet up"
    focus "$sheet"
    key Return
    local end=$((SECONDS + 10))
    while [[ -n $(windows_named "$sheet_title") ]]; do
        ((SECONDS < end)) || fail "[$lang] the score sheet did not close on Return"
        sleep 0.2
    done
    sleep 2
    alive
    shot "keyboard_deal-next-$lang.png"
    echo "[$lang] the next deal waits for its bid"
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
}

play_one_deal EN Halbeet Scores
play_one_deal AR "الهلبيط" "النتائج"
echo "PASS: screenshots in $out (keyboard_deal-*.png)"
exit 0
