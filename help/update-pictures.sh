#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Retakes the pictures of the help from the real program, in both languages:
#   help/<lang>/images/table.png       the main window at the start of a deal
#   help/<lang>/images/statusbar.png   its status bar
#   help/<lang>/images/options.png     the Options window
#   help/update-pictures.sh <build>/src/app/halbeet
# Runs the game under a private Xvfb with its own settings folder, so the user's settings
# are neither used nor touched. Needs Xvfb, xdotool and ImageMagick. Look at the pictures
# before committing them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
binary=$(realpath "${1:?usage: update-pictures.sh <halbeet binary>}")
[ -x "$binary" ] || { echo "not a program: $binary" >&2; exit 2; }
for tool in Xvfb xdotool import convert timeout; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of one's own may be given (HELP_PICTURES_DISPLAY=:23); otherwise the first free one.
display=${HELP_PICTURES_DISPLAY:-}
for n in $( [ -z "$display" ] && seq 70 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display

wait_window() { # <name pattern> -> window id
  local id=""
  for _ in $(seq 1 100); do
    id=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window named $1" >&2
  return 1
}

shoot() { # <lang> <LANG value> <main title> <options title> <four names, from the player on>
  local lang=$1 code=$2 title=$3 options_title=$4 name=$5 right=$6 partner=$7 left=$8
  local appdata="$work/$lang"
  mkdir -p "$appdata/Dovelarks/Halbeet" "$work/runtime-$lang" "$work/data-$lang"
  chmod 700 "$work/runtime-$lang"
  printf '[NAMES]\nPLAYER1=%s\nPLAYER2=%s\nPLAYER3=%s\nPLAYER4=%s\n[DELAYCARD]\nDELAY=100\n[LANGUAGE]\nLANG=%s\n' \
    "$name" "$right" "$partner" "$left" "$code" >"$appdata/Dovelarks/Halbeet/Halbeet.ini"
  # A data folder of its own too: no game of the user's to resume, no statistics touched.
  APPDATA="$appdata" XDG_DATA_HOME="$work/data-$lang" XDG_RUNTIME_DIR="$work/runtime-$lang" \
    timeout 120 "$binary" >/dev/null 2>&1 &
  game_pid=$!

  local main
  main=$(wait_window "^$title\$")
  sleep 1.5                                   # the name prompt comes after 500 ms
  xdotool key --clearmodifiers Return         # accept the stored name: the first deal starts
  sleep 5                                     # the deal is laid out card by card
  local out="$here/$lang/images"
  import -window "$main" "$out/table.png"
  local height
  height=$(identify -format '%h' "$out/table.png")
  # The status bar: the rows at the bottom up to the first row of green table.
  local bar=1
  while [ "$bar" -lt 60 ] && [ "$(convert "$out/table.png" -gravity south -crop "1x$((bar + 1))+0+0" +repage \
      -format '%[pixel:p{0,0}]' info:)" != "srgb(0,128,0)" ]; do
    bar=$((bar + 1))
  done
  convert "$out/table.png" -gravity south -crop "x${bar}+0+0" +repage "$out/statusbar.png"

  # Game menu, then Options... (the second item): the menu sits at the reading start.
  local width
  width=$(identify -format '%w' "$out/table.png")
  if [ "$lang" = ar ]; then x=$((width - 20)); else x=20; fi
  xdotool mousemove --window "$main" "$x" 10 click 1
  sleep 0.5
  xdotool key Down Down Return
  local dialog
  dialog=$(wait_window "^$options_title\$")
  sleep 0.5
  import -window "$dialog" "$out/options.png"
  xdotool key Escape
  kill "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  echo "$lang: table ${width}x${height}, status bar and options written to $out"
}

# Names in the script of the pages they illustrate.
shoot en EN "Halbeet" "Option" Ahmad Salma Hamad Noura
shoot ar AR "الهلبيط" "خيارات" "أحمد" "سلمى" "حمد" "نورة"
