#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A crash after a trick: the real program in a private X server is killed outright (SIGKILL,
# which nothing can catch) at the human's turn after tricks have been taken. The save written
# after the last trick must be offered at the next start, and going on from it, the computers
# playing their cards again, must bring back the very table that was left (pixel for pixel).
#
# Usage: killed_game.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
set -uo pipefail

bin=${1:?usage: killed_game.sh <halbeet binary> <output dir>}
out=${2:?usage: killed_game.sh <halbeet binary> <output dir>}

script=killed_game
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 300
save=$XDG_DATA_HOME/Dovelarks/Halbeet/game.json

# Three cards of the human's played: at least two tricks taken.
tricks_taken() { (($1 >= 3)); }

start_x
start_program
find_main_window
enter_name Tester
bid_six
play_until tricks_taken
table_shot "$out/killed_game-1-before.png"
kill -KILL "$app"
wait "$app" 2>/dev/null
[[ -s $save ]] || fail "no saved game at $save after the tricks"
echo "killed after $played cards of the human's"

start_program
find_main_window
enter_name Tester
answer_resume alt+y
alive
sleep 3 # the computers play again up to the human's turn
table_shot "$out/killed_game-2-resumed.png"
if ! same_picture "$out/killed_game-1-before.png" "$out/killed_game-2-resumed.png"; then
    compare "$out/killed_game-1-before.png" "$out/killed_game-2-resumed.png" \
        "$out/killed_game-difference.png" 2>/dev/null
    fail "the game went on to another table than the one left (see killed_game-difference.png)"
fi
echo "PASS: the game went on to the table left, pixel for pixel; screenshots in $out (killed_game-*.png)"
exit 0
