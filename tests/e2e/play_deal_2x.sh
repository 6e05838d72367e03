#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The end-to-end deal again, in a window resized to show the table at twice its size: names,
# the bid list, the button and every card are clicked where the scaled table shows them.
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick).
TABLE_SCALE=2 script=play_deal_2x exec bash "$(dirname "$0")/play_deal.sh" "$@"
