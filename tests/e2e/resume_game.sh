#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A game that outlives the window, with the real program in a private X server: the player
# bids, plays until cards lie on the trick, quits with Game > Exit and Yes; at the next start
# he answers Yes to the question and must see the very same table (compared pixel for pixel);
# quitting and starting once more, No deals a fresh game and the save is gone.
#
# Usage: resume_game.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
set -uo pipefail

bin=${1:?usage: resume_game.sh <halbeet binary> <output dir>}
out=${2:?usage: resume_game.sh <halbeet binary> <output dir>}

script=resume_game
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 300
save=$XDG_DATA_HOME/Dovelarks/Halbeet/game.json

# The table and the status bar, the client area of the main window.
table_shot() { timeout 10 import -window root -crop "560x413+$TX+$TY" "$1" || fail "no picture of the table"; }
# Colours in the middle of the table: the bare green has one or two, cards on the trick many.
trick_colours() {
    timeout 10 import -window root -crop "136x152+$((TX + 208))+$((TY + 120))" -format %k info: 2>/dev/null
}
hand_strip() { timeout 10 import -window root -crop "264x36+$((TX + 144))+$((TY + 344))" "$1" 2>/dev/null; }

# Game > Exit from the keyboard, then Yes to "Do you want to exit?"; waits for the end.
quit_with_yes() {
    # The Game menu's title sits at the left end of the menu bar, just above the table.
    timeout 5 xdotool mousemove $((TX + 25)) $((TY - 10)) click 1
    sleep 0.5
    timeout 5 xdotool key --delay 150 Up Return
    local question
    question=$(wait_message)
    [[ -n $question ]] || fail "Exit did not ask whether to quit"
    answer_with "$question" alt+y
    for _ in $(seq 50); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$app" 2>/dev/null && fail "the program did not end after Yes"
    wait "$app" 2>/dev/null
    echo "quit with Yes"
}

# Waits for the question about the saved game and answers it with key $1 (alt+y or alt+n).
answer_resume() {
    local question
    question=$(wait_message)
    [[ -n $question ]] || fail "the saved game was not offered"
    shot "resume_game-2-question.png"
    answer_with "$question" "$1"
    sleep 2
}

start_x

# ---- a game left in the middle of a trick ------------------------------------------------

start_program
find_main_window
enter_name Tester
sleep 1 # the deal is laid out card by card
click_at 117 370
sleep 0.5
timeout 5 xdotool key --delay 60 Down Down Down Down Return # "6": with any three bids, 11 or more
sleep 0.5
click_at 269 252
sleep 1

card=13
played=0
deadline=$((SECONDS + 90))
while :; do
    ((SECONDS < deadline)) || fail "no trick with cards on the table after 90 s"
    alive
    hand_strip "$work/before.png" || fail "no picture of the hand"
    click_at $((144 + 16 * (card - 1) + (card == 13 ? 35 : 8))) 370
    sleep 0.25
    hand_strip "$work/after.png" || fail "no picture of the hand"
    if same_picture "$work/before.png" "$work/after.png"; then
        card=$((card == 1 ? 13 : card - 1))
        continue
    fi
    played=$((played + 1))
    card=13
    sleep 3 # the trick is taken and led up to the human's next turn
    if ((played >= 2)) && (($(trick_colours) > 8)); then
        break
    fi
done
echo "cards lie on the trick after $played cards of the human's"
table_shot "$out/resume_game-1-before.png"
quit_with_yes
[[ -s $save ]] || fail "no saved game at $save"

# ---- the next start: Yes -----------------------------------------------------------------

start_program
find_main_window
enter_name Tester
answer_resume alt+y
alive
table_shot "$out/resume_game-3-resumed.png"
if ! same_picture "$out/resume_game-1-before.png" "$out/resume_game-3-resumed.png"; then
    compare "$out/resume_game-1-before.png" "$out/resume_game-3-resumed.png" "$out/resume_game-difference.png" 2>/dev/null
    fail "the resumed table differs from the one left (see resume_game-difference.png)"
fi
[[ -e $save ]] && fail "the save is still there after it was taken up"
echo "the resumed table is the one that was left, pixel for pixel"

# ---- and once more: No -------------------------------------------------------------------

quit_with_yes
[[ -s $save ]] || fail "no saved game after the second quit"
start_program
find_main_window
enter_name Tester
answer_resume alt+n
alive
[[ -e $save ]] && fail "the save is still there after No"
table_shot "$out/resume_game-4-fresh.png"
same_picture "$out/resume_game-1-before.png" "$out/resume_game-4-fresh.png" && fail "No did not deal a fresh game"

echo "PASS: screenshots in $out (resume_game-*.png)"
exit 0
