#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Friends in a browser at a desktop host's table: Hala hosts in the game window in English with
# two chairs open; Nadia (English, a desktop browser, keyboard only) and Karim (Arabic, a phone
# held upright, touch) open the table's link in headless Chromium. They play a whole deal with
# the computer in the fourth chair; Karim's connection is cut in the middle of a trick and comes
# back by itself. On the way the page is checked for accessibility (axe-core, levels A and AA),
# for requests to any other origin and for breaches of its content security policy, and a page
# of another origin tries to open a seat. Screenshots of the window and of both pages go to the
# output folder, with the figures (time to the table, a glide's frames) in browser_game.txt.
#
# Everything runs in a network namespace of its own, made here: no packet leaves it.
#
# Usage: browser_game.sh <halbeet binary> <output dir>
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool, Chromium, Node.js, the page's test
# modules, unshare, ip or ss).
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_table.bash"
private_network "$@"

bin=${1:?usage: browser_game.sh <halbeet binary> <output dir>}
out=${2:?usage: browser_game.sh <halbeet binary> <output dir>}
script=browser_game
modules=${HALBEET_WEB_MODULES:-$here/../../web/node_modules}
chromium=${HALBEET_CHROMIUM:-/usr/bin/chromium}
command -v node >/dev/null 2>&1 || { echo "SKIP: Node.js is not installed"; exit 77; }
[[ -x $chromium ]] || { echo "SKIP: no Chromium at $chromium"; exit 77; }
[[ -d $modules/playwright-core && -d $modules/axe-core ]] ||
    { echo "SKIP: the page's test modules are not installed in $modules"; exit 77; }
# shellcheck source=e2e_lib.bash
source "$here/e2e_lib.bash"
watchdog 480
start_x

# ---- Hala hosts, with her right-hand chair open too ----------------------------------------

open_host_dialog
# The partner's chair has the focus and is open already; the next is the right-hand chair.
timeout 5 xdotool key --delay 60 Tab Home
sleep 0.3
shot "$script-1-host-dialog.png"
confirm_host_dialog

# ---- the friends' browsers -----------------------------------------------------------------

# The browsers' side runs on its own and talks through files in $work: it writes "seated" when
# both pages sit at the table, "done" when both have seen the deal scored, "failed" otherwise.
status=$work/browsers.status
: >"$status"
HALBEET_WEB_MODULES=$modules HALBEET_CHROMIUM=$chromium \
    node "$here/browser_game.mjs" "$out" "$status" >"$work/browsers.log" 2>&1 &
browsers=$!
pids+=("$browsers")
browsers_said() { grep -qx "$1" "$status"; }
browsers_failed() {
    echo "      the browsers' side said:"
    sed 's/^/        /' "$work/browsers.log" | tail -40
    fail "$1"
}

deadline=$((SECONDS + 90))
until browsers_said seated; do
    ((SECONDS < deadline)) || browsers_failed "the two pages did not sit down at the table within 90 s"
    browsers_said failed && browsers_failed "the browsers' side failed before the game"
    kill -0 "$browsers" 2>/dev/null || browsers_failed "the browsers' side ended before the game"
    sleep 0.5
done
shot "$script-2-seated.png"

start_game "$host_main"
sleep 2
shot "$script-3-dealt.png"

# ---- the deal: Hala plays from her window while the pages play from theirs -----------------

sheets=0 rounds=0
deadline=$((SECONDS + 300))
until ((sheets > 0)) && browsers_said done; do
    ((SECONDS < deadline)) || browsers_failed "the deal did not come to its end everywhere within 300 s"
    browsers_said failed && browsers_failed "the browsers' side failed during the deal"
    kill -0 "$host" 2>/dev/null || fail "the host's game has ended"
    # Hala plays on until the pages are done too: a deal thrown in starts another.
    move "$host" "$host_main" "$host_tx" "$host_ty"
    sheets=$((sheets + closed))
    rounds=$((rounds + 1))
    ((rounds == 4)) && shot "$script-4-mid-deal.png"
    sleep 0.3
done
shot "$script-5-after-the-deal.png"
wait "$browsers" || browsers_failed "the browsers' side did not end well"
sed 's/^/  /' "$work/browsers.log"
echo "a whole deal played by a window and two pages at one table in $rounds rounds"
echo "PASS"
