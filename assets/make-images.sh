#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws every picture of the project from its source and writes the results in place:
#   assets/images/1_p2.png .. 4_p2.png (+ @2x)   suit pictures of the status bar
#   assets/images/warning.png (+ @2x)            follow-suit warning
#   assets/images/halbeet*.png                   window and about-box icon
#   assets/icons/hicolor/<N>x<N>/apps/halbeet.png and scalable/apps/halbeet.svg
# The PNG files are committed; the build compiles them in as they are, so run this only
# after changing a drawing (make-images.py or the SVG files) and commit what it wrote.
# Needs python3 and, for the icon, a C++ compiler with Qt 6 Svg (pkg-config Qt6Svg).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

python3 "$here/make-images.py" "$here/images"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# shellcheck disable=SC2046  # pkg-config prints several flags on purpose
c++ -std=c++20 -fPIC -O1 -o "$work/svg2png" "$here/tools/svg2png.cpp" \
  $(pkg-config --cflags --libs Qt6Svg Qt6Gui Qt6Core)

# The small sizes have their own, bolder drawing: the full one blurs below 32 pixels.
source_for() {
  if [ "$1" -le 24 ]; then echo "$here/icons/halbeet-small.svg"; else echo "$here/icons/halbeet.svg"; fi
}

for n in 16 22 24 32 48 64 128 256; do
  dir="$here/icons/hicolor/${n}x${n}/apps"
  mkdir -p "$dir"
  "$work/svg2png" "$(source_for "$n")" "$n" "$dir/halbeet.png"
done
mkdir -p "$here/icons/hicolor/scalable/apps"
cp "$here/icons/halbeet.svg" "$here/icons/hicolor/scalable/apps/halbeet.svg"

# The window icon: 256 pixels for the about box and large task switchers, plus the small
# sizes that title bars and task bars ask for.
cp "$here/icons/hicolor/256x256/apps/halbeet.png" "$here/images/halbeet.png"
for n in 16 24 32 48; do
  cp "$here/icons/hicolor/${n}x${n}/apps/halbeet.png" "$here/images/halbeet-$n.png"
done
echo "pictures written under $here/images and $here/icons"
