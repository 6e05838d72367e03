#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A game that outlives the window, with the real program in a private X server: the player
# bids, plays until cards lie on the trick, quits with Game > Exit and Yes; at the next start
# he answers Yes to the question and must see the very same table (compared pixel for pixel),
# the save staying on disk while the game goes on; quitting and starting once more, No deals a
# fresh game, whose save takes the old one's place.
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

# Two cards of the human's played, and cards of the next trick on the table.
cards_on_trick() { (($1 >= 2)) && (($(trick_colours) > 8)); }

start_x

# ---- a game left in the middle of a trick ------------------------------------------------

start_program
find_main_window
enter_name Tester
bid_six
play_until cards_on_trick
echo "cards lie on the trick after $played cards of the human's"
table_shot "$out/resume_game-1-before.png"
quit_with_yes
[[ -s $save ]] || fail "no saved game at $save"

# ---- the next start: Yes -----------------------------------------------------------------

start_program
find_main_window
enter_name Tester
answer_resume alt+y resume_game-2-question.png
alive
table_shot "$out/resume_game-3-resumed.png"
if ! same_picture "$out/resume_game-1-before.png" "$out/resume_game-3-resumed.png"; then
    compare "$out/resume_game-1-before.png" "$out/resume_game-3-resumed.png" "$out/resume_game-difference.png" 2>/dev/null
    fail "the resumed table differs from the one left (see resume_game-difference.png)"
fi
[[ -s $save ]] || fail "the save is gone once the game was taken up: a crash would lose it"
echo "the resumed table is the one that was left, pixel for pixel"

# ---- and once more: No -------------------------------------------------------------------

quit_with_yes
[[ -s $save ]] || fail "no saved game after the second quit"
cp "$save" "$work/declined.json"
start_program
find_main_window
enter_name Tester
answer_resume alt+n
alive
cmp -s "$save" "$work/declined.json" && fail "the declined game is still saved after No"
table_shot "$out/resume_game-4-fresh.png"
same_picture "$out/resume_game-1-before.png" "$out/resume_game-4-fresh.png" && fail "No did not deal a fresh game"

echo "PASS: screenshots in $out (resume_game-*.png)"
exit 0
