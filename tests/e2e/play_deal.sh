#!/usr/bin/env bash
# A whole deal with the real program in a private X server, played the way a person plays it:
# xdotool types the name, picks a bid in the list, confirms it and clicks the human's cards
# until the score sheet comes up. Along the way it takes screenshots (the bid, a trick on the
# table, the score sheet) and measures the CPU the program uses while it waits for the human:
# it must stay under 1 % of a core.
#
# Usage: play_deal.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
#
# There is no window manager: windows stand where the program put them, and the keyboard goes
# to the window under the pointer. Every wait has a time limit, and everything started here is
# stopped on the way out.

set -uo pipefail

bin=${1:?usage: play_deal.sh <halbeet binary> <output dir>}
out=${2:?usage: play_deal.sh <halbeet binary> <output dir>}

for tool in Xvfb xdotool import compare timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
if [[ ! -x $bin ]]; then
    echo "FAIL: no program at $bin"
    exit 1
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/halbeet-e2e.XXXXXX")
pids=()
display=""

cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        # A process that ignores the polite signal gets the hard one after a second.
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: interrupted"; exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    if [[ -n $display ]]; then
        DISPLAY=$display timeout 10 import -window root "$out/play_deal-failure.png" 2>/dev/null &&
            echo "      the screen at that moment: $out/play_deal-failure.png"
    fi
    if [[ -s $work/halbeet.log ]]; then
        echo "      program output:"
        sed 's/^/        /' "$work/halbeet.log" | tail -20
    fi
    exit 1
}

# The whole run may take five minutes at most, whatever hangs.
(
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    sleep 300 &
    nap=$!
    wait "$nap"
    echo "FAIL: the run took longer than 300 s"
    kill -TERM $$
) 2>/dev/null &
pids+=($!)

# ---- a private X server ------------------------------------------------------------------

for n in 91 92 93 94 95 96 97 98 99; do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xpid=$!
    for _ in $(seq 50); do
        [[ -e /tmp/.X11-unix/X$n ]] && break
        kill -0 "$xpid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$xpid" 2>/dev/null && [[ -e /tmp/.X11-unix/X$n ]]; then
        pids+=("$xpid")
        display=":$n"
        break
    fi
    # Someone else took this number between the check and the start.
    kill "$xpid" 2>/dev/null
    wait "$xpid" 2>/dev/null
done
[[ -n $display ]] || { echo "SKIP: no free display among :91..:99"; exit 77; }
export DISPLAY=$display
timeout 10 xdotool getmouselocation >/dev/null 2>&1 || fail "the X server on $display does not answer"
echo "X server on $display"

# ---- the program, with its own settings --------------------------------------------------

export APPDATA=$work/appdata
mkdir -p "$APPDATA/Dovelarks/Halbeet"
printf '[DELAYCARD]\r\nDELAY=100\r\n[LANGUAGE]\r\nLANG=EN\r\n' >"$APPDATA/Dovelarks/Halbeet/Halbeet.ini"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

"$bin" >"$work/halbeet.log" 2>&1 &
app=$!
pids+=("$app")

alive() { kill -0 "$app" 2>/dev/null || fail "the program has ended"; }

# The visible windows whose title is exactly $1, one id a line.
windows_named() { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }

# Sets WX WY WW WH of window $1.
geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(timeout 5 xdotool getwindowgeometry --shell "$1")" || fail "no geometry for window $1"
    WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# Waits up to $2 seconds for a visible window titled $1 whose width is $3; prints its id.
wait_window() {
    local title=$1 seconds=$2 width=$3 id
    local end=$((SECONDS + seconds))
    while ((SECONDS < end)); do
        alive
        for id in $(windows_named "$title"); do
            geometry "$id"
            if ((WW == width)); then
                echo "$id"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}

main=$(wait_window Halbeet 20 560) || fail "the main window did not appear"
geometry "$main"
# The client area (table and status bar, 413 high) lies below the menu bar.
TX=$WX
TY=$((WY + WH - 413))
echo "main window $main at $WX,$WY ${WW}x$WH; the table starts at $TX,$TY"

click_at() { # table coordinates
    timeout 5 xdotool mousemove $((TX + $1)) $((TY + $2)) click 1 || fail "xdotool could not click"
}
shot() { timeout 10 import -window root "$out/$1" || fail "no screenshot $1"; }
# The lower part of the human's fan: it changes only when one of his cards leaves it (the
# won-trick markers that overlap the hand end above it).
hand_strip() { timeout 10 import -window root -crop "264x36+$((TX + 144))+$((TY + 344))" "$1" 2>/dev/null; }
same_picture() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }

# ---- the name ----------------------------------------------------------------------------

names=$(wait_window Halbeet 10 286) || fail "the name dialog did not appear"
geometry "$names"
timeout 5 xdotool mousemove $((WX + 150)) $((WY + 34)) click 1
timeout 5 xdotool key --clearmodifiers ctrl+a
timeout 5 xdotool type --delay 20 "Tester"
timeout 5 xdotool key Return
for _ in $(seq 50); do
    [[ -z $(windows_named Halbeet | while read -r id; do geometry "$id"; ((WW == 286)) && echo "$id"; done) ]] && break
    sleep 0.2
done
echo "name entered"

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
        [[ $attempt == 1 ]] && shot play_deal-1-bid.png
        click_at 269 252
        sleep 1.5
        local notice
        notice=$(windows_named Halbeet | while read -r id; do [[ $id != "$main" ]] && echo "$id"; done)
        if [[ -z $notice ]]; then
            echo "bid confirmed"
            return 0
        fi
        echo "the deal passed; answering the notice"
        geometry "$notice"
        timeout 5 xdotool mousemove $((WX + WW / 2)) $((WY + WH / 2))
        timeout 5 xdotool key Return
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
        shot play_deal-2-trick.png
    fi
    if ((changes == 6)); then
        # Long enough for any trick to be taken and led up to the human: the program waits.
        sleep 4
        measure_idle_cpu "the human's card"
    fi
    card=13
done

sleep 0.5
shot play_deal-3-scores.png
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
shot play_deal-4-next-deal.png

echo "PASS: screenshots in $out (play_deal-*.png)"
exit 0
