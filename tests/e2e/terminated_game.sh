#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A logout or shutdown in the middle of a trick: the real program in a private X server gets
# SIGTERM while cards lie on the trick; it must end by itself, at once and without a question,
# having saved the game, and the next start must offer it and lay out the very same table
# (compared pixel for pixel).
#
# Usage: terminated_game.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
set -uo pipefail

bin=${1:?usage: terminated_game.sh <halbeet binary> <output dir>}
out=${2:?usage: terminated_game.sh <halbeet binary> <output dir>}

script=terminated_game
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 300
save=$XDG_DATA_HOME/Dovelarks/Halbeet/game.json

# Two cards of the human's played, and cards of the next trick on the table.
cards_on_trick() { (($1 >= 2)) && (($(trick_colours) > 8)); }

start_x
start_program
find_main_window
enter_name Tester
bid_six
play_until cards_on_trick
echo "cards lie on the trick after $played cards of the human's"
table_shot "$out/terminated_game-1-before.png"

kill -TERM "$app"
wait_for_end "the program did not end on SIGTERM"
((status == 0)) || fail "the program ended with status $status on SIGTERM"
[[ -s $save ]] || fail "no saved game at $save after SIGTERM"
echo "ended on SIGTERM with status 0, the game saved"

start_program
find_main_window
enter_name Tester
answer_resume alt+y
alive
table_shot "$out/terminated_game-2-resumed.png"
if ! same_picture "$out/terminated_game-1-before.png" "$out/terminated_game-2-resumed.png"; then
    compare "$out/terminated_game-1-before.png" "$out/terminated_game-2-resumed.png" \
        "$out/terminated_game-difference.png" 2>/dev/null
    fail "the resumed table differs from the one left (see terminated_game-difference.png)"
fi
[[ -s $save ]] || fail "the save is gone once the game was taken up"
echo "PASS: the resumed table is the one left, pixel for pixel; screenshots in $out (terminated_game-*.png)"
exit 0
