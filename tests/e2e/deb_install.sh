#!/usr/bin/env bash
# Builds the Debian package from the build folder of the given binary, installs it with
# apt-get, starts the installed /usr/bin/halbeet under a private X server and checks that
# its window appears and shows something, then removes the package again.
#   deb_install.sh <build>/src/app/halbeet <output dir>
# Exit 77 (skipped) when it cannot run here: not root (and no password-less sudo),
# no cpack, dpkg-deb, apt-get, Xvfb, xdotool or ImageMagick, or the package is already
# installed by someone else (the test would then remove it).
# Every step has a time limit, so a stuck step fails the test instead of hanging it, and
# together they stay under the 600 s that ctest allows an end-to-end script.
set -uo pipefail

binary=${1:?usage: deb_install.sh <halbeet binary> <output dir>}
outdir=${2:?usage: deb_install.sh <halbeet binary> <output dir>}
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

build=$(cd "$(dirname "$binary")/../.." && pwd) || fail "no build folder above $binary"
[ -f "$build/CPackConfig.cmake" ] || fail "$build has no CPack configuration"

for tool in cpack dpkg-deb dpkg-shlibdeps apt-get dpkg-query Xvfb xdotool import convert timeout; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing"
done
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
else
  skip "needs root or password-less sudo to install a package"
fi
if dpkg-query -W -f='${Status}' halbeet 2>/dev/null | grep -q 'install ok installed'; then
  skip "a halbeet package is already installed; this test would remove it"
fi

mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
installed=0
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  if [ "$installed" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive timeout 60 "${as_root[@]}" apt-get remove -y halbeet \
      >"$outdir/deb_remove.log" 2>&1 || echo "WARNING: apt-get remove halbeet failed"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== building the package in $build"
# cpack installs into its own staging folder; the help files and the binary must be built.
timeout 240 cmake --build "$build" --target halbeet halbeet_help >"$outdir/deb_build.log" 2>&1 \
  || fail "building halbeet failed (see $outdir/deb_build.log)"
(cd "$build" && timeout 120 cpack -G DEB -B "$work/pkg") >"$outdir/deb_cpack.log" 2>&1 \
  || fail "cpack failed (see $outdir/deb_cpack.log)"
deb=$(ls "$work"/pkg/halbeet_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "cpack made no halbeet_*.deb"
cp "$deb" "$outdir/"
echo "== $(basename "$deb")"
timeout 30 dpkg-deb --field "$deb" Package Version Section Depends Recommends
contents=$(timeout 30 dpkg-deb --contents "$deb")
for path in ./usr/bin/halbeet ./usr/share/applications/halbeet.desktop \
    ./usr/share/metainfo/io.github.dovelarks.halbeet.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/halbeet.png ./usr/share/icons/hicolor/scalable/apps/halbeet.svg; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
if command -v chmcmd >/dev/null 2>&1; then
  for path in ./usr/share/halbeet/HalbeetEnglish.chm ./usr/share/halbeet/HalbeetArabic.chm; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
  done
fi

echo "== installing"
# apt-get wants a path with a slash to take a file rather than a package name.
cp "$deb" "$work/"
deb_local="$work/$(basename "$deb")"
chmod 644 "$deb_local"
chmod 755 "$work"
installed=1
DEBIAN_FRONTEND=noninteractive timeout 120 "${as_root[@]}" apt-get install -y --no-install-recommends \
  "$deb_local" >"$outdir/deb_install.log" 2>&1 || fail "apt-get install failed (see $outdir/deb_install.log)"
[ -x /usr/bin/halbeet ] || fail "/usr/bin/halbeet is not installed"

echo "== starting /usr/bin/halbeet"
display=""
for n in $(seq 60 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free X display number"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$outdir/deb_xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || fail "Xvfb did not start"

mkdir -m 700 "$work/runtime" "$work/appdata" "$work/home"
DISPLAY=$display HOME="$work/home" APPDATA="$work/appdata" XDG_CONFIG_HOME="$work/home/.config" \
  XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  timeout 120 /usr/bin/halbeet >"$outdir/deb_halbeet.log" 2>&1 &
game_pid=$!

window=""
for _ in $(seq 1 150); do
  window=$(DISPLAY=$display timeout 5 xdotool search --onlyvisible --name 'Halbeet' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the installed game ended before showing a window (see $outdir/deb_halbeet.log)"
  sleep 0.2
done
[ -n "$window" ] || fail "no Halbeet window within 30 s"
# The name prompt comes half a second after the window; let both paint.
sleep 2
shot="$outdir/deb_installed.png"
DISPLAY=$display timeout 30 import -window root "$shot" || fail "screenshot failed"
colours=$(timeout 30 convert "$shot" -format '%k' info:) || fail "cannot read $shot"
echo "== screenshot $shot: $colours colours"
[ "$colours" -ge 16 ] || fail "the screenshot is nearly blank ($colours colours)"
green=$(timeout 30 convert "$shot" -fuzz 8% -fill black +opaque 'rgb(0,128,0)' -fill white -opaque 'rgb(0,128,0)' \
  -format '%[fx:mean]' info:) || fail "cannot measure $shot"
awk -v g="$green" 'BEGIN { exit !(g > 0.05) }' || fail "no green table in the screenshot (green share $green)"

kill "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
game_pid=""
echo "PASS: the package installs and its game starts"
