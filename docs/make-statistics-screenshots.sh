#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the pictures of the Statistics window in both languages: a database of self-played
# games (tools/statistics-demo) shown in the real window on a private X server.
# usage: docs/make-statistics-screenshots.sh [build folder, default build/dev] [output folder, default docs]
set -euo pipefail
build=${1:-build/dev}
out=${2:-docs}
demo=$build/tools/statistics-demo/halbeet-statistics-demo
[ -x "$demo" ] || { echo "build $demo first" >&2; exit 1; }
work=$(mktemp -d)
display=""
for n in $(seq 60 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb; rm -rf "$work"' EXIT
sleep 1
mkdir -m 700 "$work/runtime"
for lang in EN AR; do
  names="Huda,Sami,Layla,Omar"
  [ "$lang" = AR ] && names="هدى,سامي,ليلى,عمر"
  DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" "$demo" --folder "$work/$lang" \
    --lang "$lang" --games 8 --seed 11 --names "$names" \
    --grab "$out/statistics-$(tr '[:upper:]' '[:lower:]' <<<"$lang").png"
done
