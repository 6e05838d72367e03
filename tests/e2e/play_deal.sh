#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole deal with the real program in a private X server, played the way a person plays it:
# xdotool types the name, picks a bid in the list, confirms it and clicks the human's cards
# until the score sheet comes up. Along the way it takes screenshots (the bid, a trick on the
# table, the score sheet) and measures the CPU the program uses while it waits for the human:
# it must stay under 1 % of a core.
#
# Usage: play_deal.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
set -uo pipefail

bin=${1:?usage: play_deal.sh <halbeet binary> <output dir>}
out=${2:?usage: play_deal.sh <halbeet binary> <output dir>}

script=${script:-play_deal}
# shellcheck source=e2e_lib.bash
source "$(dirname "$0")/e2e_lib.bash"
watchdog 300
start_x
start_program
find_main_window

# The lower part of the human's fan: it changes only when one of his cards leaves it (the
# won-trick markers that overlap the hand end above it).
hand_strip() {
    timeout 10 import -window root -crop "$((264 * S))x$((36 * S))+$((TX + 144 * S))+$((TY + 344 * S))" "$1" 2>/dev/null
}

# ---- the name ----------------------------------------------------------------------------

enter_name Tester

# ---- the bid -----------------------------------------------------------------------------

cpu_ticks() { # utime + stime of the program, in clock ticks
    local stat
    stat=$(<"/proc/$app/stat") || fail "the program has ended"
    stat=${stat##*) }
    read -r -a f <<<"$stat"
    echo $((f[11] + f[12]))
}

# The CPU time the program uses in 10 s of waiting, in seconds; fails above 0.1 s (1 %).
measure_idle_cpu() {
    local what=$1 hz before after used
    hz=$(getconf CLK_TCK)
    before=$(cpu_ticks)
    sleep 10
    after=$(cpu_ticks)
    used=$(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }')
    echo "CPU while waiting for $what: ${used} s in 10 s ($(awk -v u="$used" 'BEGIN { printf "%.1f", u * 10 }') % of a core)"
    awk -v u="$used" 'BEGIN { exit !(u < 0.1) }' || fail "the program used ${used} s of CPU in 10 s of waiting for $what"
}

# Opens the bid list (it opens on its first item, "2"), moves $1 items down, takes that bid
# and confirms it. A total below 11 throws the deal in: the notice is answered and the next
# deal is bid again with "5", which cannot pass (three computer bids of at least 2 make 11).
bid() {
    local downs=$1 attempt
    for attempt in 1 2 3 4 5 6; do
        sleep 1 # the deal is laid out card by card
        click_at 117 370
        sleep 0.5
        timeout 5 xdotool key --delay 60 $(for _ in $(seq "$downs"); do printf 'Down '; done) Return
        sleep 0.5
        [[ $attempt == 1 ]] && shot "$script-1-bid.png"
        click_at 269 252
        sleep 1.5
        local notice
        notice=$(message_window)
        if [[ -z $notice ]]; then
            echo "bid confirmed"
            return 0
        fi
        echo "the deal passed; answering the notice"
        answer_with "$notice" Return
        downs=3 # "5"
    done
    fail "no bid was accepted in six deals"
}

# A low bid first ("3"): the deal passes whenever the computers bid 7 or less between them,
# which tries the notice.
bid 1

# ---- the play ----------------------------------------------------------------------------

# Clicks the human's cards from the right end of the fan, moving left while nothing happens,
# until the score sheet comes up. Clicks while the computers play, or on a card that does not
# follow suit, change nothing; a change in the lower strip of the fan means a card left it
# (or, now and then, a trick swept down across it toward the human), and the next click
# starts at the right end again.
changes=0
card=13
sheet=""
deadline=$((SECONDS + 150))
while :; do
    ((SECONDS < deadline)) || fail "no score sheet after 150 s of play"
    alive
    sheet=$(windows_named Scores)
    [[ -n $sheet ]] && break
    hand_strip "$work/before.png" || fail "no picture of the hand"
    x=$((144 + 16 * (card - 1) + (card == 13 ? 35 : 8)))
    click_at "$x" 370
    sleep 0.25
    hand_strip "$work/after.png" || fail "no picture of the hand"
    if same_picture "$work/before.png" "$work/after.png"; then
        card=$((card == 1 ? 13 : card - 1))
        continue
    fi
    changes=$((changes + 1))
    echo "the hand changed after a click on the place of Card$card"
    if ((changes == 3)); then
        sleep 0.5
        shot "$script-2-trick.png"
    fi
    if ((changes == 6)); then
        # Long enough for any trick to be taken and led up to the human: the program waits.
        sleep 4
        measure_idle_cpu "the human's card"
    fi
    card=13
done

sleep 0.5
shot "$script-3-scores.png"
echo "score sheet up"

# OK on the sheet deals again; the program then waits for the next bid.
geometry "$sheet"
timeout 5 xdotool mousemove $((WX + 285)) $((WY + 44)) click 1
end=$((SECONDS + 10))
while [[ -n $(windows_named Scores) ]]; do
    ((SECONDS < end)) || fail "the score sheet did not close on OK"
    sleep 0.2
done
sleep 3
alive
measure_idle_cpu "the next bid"
shot "$script-4-next-deal.png"

echo "PASS: screenshots in $out ($script-*.png)"
exit 0
