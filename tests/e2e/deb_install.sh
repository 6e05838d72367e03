#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages (halbeet, halbeet-tools, halbeet-server) from the build folder of
# the given binary and checks them as a distribution would: lintian with no error and no warning,
# appstreamcli validate --pedantic and desktop-file-validate on the installed data. Installs
# both with apt-get, starts the installed /usr/games/halbeet under a private X server, checks
# that its window appears and shows something and that its Statistics window (a module in
# /usr/lib/<multiarch>/halbeet) opens, checks that the installed table server answers and its
# systemd unit is sound, then removes the packages and checks that nothing is left.
#   deb_install.sh <build>/src/app/halbeet <output dir>
# Exit 77 (skipped) when it cannot run here: not root (and no password-less sudo),
# no cpack, dpkg-deb, apt-get, lintian, Xvfb, xdotool or ImageMagick, or a package is already
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

for tool in cpack dpkg-deb dpkg-shlibdeps apt-get dpkg-query lintian appstreamcli desktop-file-validate \
    Xvfb xdotool import convert timeout; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing"
done
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
else
  skip "needs root or password-less sudo to install a package"
fi
for package in halbeet halbeet-tools halbeet-server; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    skip "a $package package is already installed; this test would remove it"
  fi
done

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
    DEBIAN_FRONTEND=noninteractive timeout 60 "${as_root[@]}" apt-get remove -y halbeet halbeet-tools halbeet-server \
      >"$outdir/deb_remove.log" 2>&1 || echo "WARNING: apt-get remove halbeet halbeet-tools halbeet-server failed"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== building the packages in $build"
# cpack installs into its own staging folder; what it installs must be built.
timeout 400 cmake --build "$build" --target halbeet halbeet_help halbeet_statistics_window halbeet-sim \
  halbeet-server halbeet_packaging_files >"$outdir/deb_build.log" 2>&1 \
  || fail "building the packaged targets failed (see $outdir/deb_build.log)"
(cd "$build" && timeout 400 cpack -G DEB -B "$work/pkg") >"$outdir/deb_cpack.log" 2>&1 \
  || fail "cpack failed (see $outdir/deb_cpack.log)"
deb=$(ls "$work"/pkg/halbeet_*.deb 2>/dev/null | head -1)
tools_deb=$(ls "$work"/pkg/halbeet-tools_*.deb 2>/dev/null | head -1)
server_deb=$(ls "$work"/pkg/halbeet-server_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "cpack made no halbeet_*.deb"
[ -n "$tools_deb" ] || fail "cpack made no halbeet-tools_*.deb"
[ -n "$server_deb" ] || fail "cpack made no halbeet-server_*.deb"
cp "$deb" "$tools_deb" "$server_deb" "$outdir/"
for package in "$deb" "$tools_deb" "$server_deb"; do
  echo "== $(basename "$package")"
  timeout 30 dpkg-deb --field "$package" Package Version Section Maintainer Depends Recommends
done
timeout 30 dpkg-deb --field "$deb" Maintainer | grep -q '@dovelarks.org>' \
  || fail "the maintainer is not the project's own address"
timeout 30 dpkg-deb --field "$deb" Depends | grep -q 'xchm' || fail "halbeet does not depend on xchm"
timeout 30 dpkg-deb --field "$deb" Depends | grep -q 'xdg-utils' || fail "halbeet does not depend on xdg-utils"

contents=$(timeout 30 dpkg-deb --contents "$deb")
tools_contents=$(timeout 30 dpkg-deb --contents "$tools_deb")
server_contents=$(timeout 30 dpkg-deb --contents "$server_deb")
module=$(grep -o ' \./usr/lib/[a-z0-9_-]*/halbeet/halbeet-statistics\.so$' <<<"$contents" | tr -d ' ')
[ -n "$module" ] || fail "the package lacks the statistics module in /usr/lib/<multiarch>/halbeet"
for path in ./usr/games/halbeet \
    ./usr/share/applications/halbeet.desktop ./usr/share/metainfo/io.github.dovelarks.halbeet.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/halbeet.png ./usr/share/icons/hicolor/scalable/apps/halbeet.svg \
    ./usr/share/man/man6/halbeet.6.gz ./usr/share/doc/halbeet/copyright ./usr/share/doc/halbeet/changelog.gz; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
if command -v chmcmd >/dev/null 2>&1; then
  for path in ./usr/share/halbeet/HalbeetEnglish.chm ./usr/share/halbeet/HalbeetArabic.chm; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
  done
fi
grep -q 'halbeet-sim' <<<"$contents" && fail "the game's package carries the simulator"
for path in ./usr/games/halbeet-sim ./usr/share/man/man6/halbeet-sim.6.gz \
    ./usr/share/doc/halbeet-tools/copyright ./usr/share/doc/halbeet-tools/changelog.gz; do
  grep -q " $path\$" <<<"$tools_contents" || fail "halbeet-tools lacks $path"
done
grep -q 'halbeet-server' <<<"$contents" && fail "the game's package carries the table server"
for path in ./usr/games/halbeet-server ./usr/share/man/man6/halbeet-server.6.gz \
    ./usr/lib/systemd/system/halbeet-server.service \
    ./usr/share/doc/halbeet-server/copyright ./usr/share/doc/halbeet-server/changelog.gz; do
  grep -q " $path\$" <<<"$server_contents" || fail "halbeet-server lacks $path"
done
# A server without a display: nothing of Qt's GUI in its dependencies.
timeout 30 dpkg-deb --field "$server_deb" Depends | grep -qi 'gui\|widgets' && fail "halbeet-server depends on Qt's GUI"
mkdir -p "$work/extract"
timeout 30 dpkg-deb -x "$deb" "$work/extract"
for elf in ./usr/games/halbeet "$module"; do
  readelf -d "$work/extract/$elf" | grep -q 'BIND_NOW\|FLAGS.*NOW' || fail "$elf is not linked with bind-now"
done

echo "== lintian"
# The default level: errors and warnings. Every package must be clean.
timeout 300 lintian --fail-on error,warning "$deb" "$tools_deb" "$server_deb" >"$outdir/deb_lintian.log" 2>&1
lintian_status=$?
cat "$outdir/deb_lintian.log"
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings (status $lintian_status)"
grep -qE '^[EW]: ' "$outdir/deb_lintian.log" && fail "lintian reports errors or warnings"
echo "lintian: 0 errors, 0 warnings"

echo "== installing"
# apt-get wants a path with a slash to take a file rather than a package name.
cp "$deb" "$tools_deb" "$server_deb" "$work/"
deb_local="$work/$(basename "$deb")"
tools_local="$work/$(basename "$tools_deb")"
server_local="$work/$(basename "$server_deb")"
chmod 644 "$deb_local" "$tools_local" "$server_local"
chmod 755 "$work"
installed=1
DEBIAN_FRONTEND=noninteractive timeout 180 "${as_root[@]}" apt-get install -y --no-install-recommends \
  "$deb_local" "$tools_local" "$server_local" >"$outdir/deb_install.log" 2>&1 \
  || fail "apt-get install failed (see $outdir/deb_install.log)"
[ -x /usr/games/halbeet ] || fail "/usr/games/halbeet is not installed"
[ -x /usr/games/halbeet-sim ] || fail "/usr/games/halbeet-sim is not installed"
[ -x /usr/games/halbeet-server ] || fail "/usr/games/halbeet-server is not installed"

echo "== checking the installed data"
timeout 60 appstreamcli validate --pedantic --no-net /usr/share/metainfo/io.github.dovelarks.halbeet.metainfo.xml \
  || fail "appstreamcli validate --pedantic fails"
timeout 30 desktop-file-validate /usr/share/applications/halbeet.desktop || fail "desktop-file-validate fails"
version=$(timeout 10 /usr/games/halbeet --version) || fail "/usr/games/halbeet --version failed"
echo "$version"
grep -q "^halbeet $(dpkg-query -W -f='${Version}' halbeet)\$" <<<"$version" || fail "--version says '$version'"
timeout 60 /usr/games/halbeet-sim --seed 1 --deals 100 --check >"$outdir/deb_sim.log" 2>&1 \
  || fail "the installed halbeet-sim failed (see $outdir/deb_sim.log)"
server_version=$(timeout 10 /usr/games/halbeet-server --version) || fail "/usr/games/halbeet-server --version failed"
[ "$server_version" = "halbeet-server $(dpkg-query -W -f='${Version}' halbeet-server)" ] \
  || fail "halbeet-server --version says '$server_version'"
if command -v systemd-analyze >/dev/null 2>&1; then
  timeout 60 systemd-analyze verify /usr/lib/systemd/system/halbeet-server.service >"$outdir/deb_unit.log" 2>&1 \
    || { cat "$outdir/deb_unit.log"; fail "systemd-analyze verify finds fault with halbeet-server.service"; }
fi

echo "== starting /usr/games/halbeet"
display=""
for n in $(seq 60 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free X display number"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >"$outdir/deb_xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || fail "Xvfb did not start"

mkdir -m 700 "$work/runtime" "$work/appdata" "$work/home"
DISPLAY=$display HOME="$work/home" APPDATA="$work/appdata" XDG_CONFIG_HOME="$work/home/.config" \
  XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  timeout 120 /usr/games/halbeet >"$outdir/deb_halbeet.log" 2>&1 &
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

echo "== the Statistics window from the installed module"
# Past the name prompt, then Game > Statistics by its access keys.
DISPLAY=$display timeout 10 xdotool type --delay 50 "Deb" || fail "typing the name failed"
DISPLAY=$display timeout 10 xdotool key Return
sleep 2
main=$(DISPLAY=$display timeout 5 xdotool search --onlyvisible --name '^Halbeet$' 2>/dev/null | head -1)
[ -n "$main" ] || fail "the main window is gone after the name prompt"
# No window manager gives the main window the keyboard: click the Game menu (the first item
# of the menu bar, at the window's top left) and pick Statistics by its access key.
eval "$(DISPLAY=$display timeout 5 xdotool getwindowgeometry --shell "$main")" || fail "no geometry for the main window"
DISPLAY=$display timeout 10 xdotool mousemove $((X + 25)) $((Y + 8)) click 1
sleep 0.7
DISPLAY=$display timeout 10 xdotool key s
statistics=""
for _ in $(seq 1 50); do
  statistics=$(DISPLAY=$display timeout 5 xdotool search --onlyvisible --name '^Statistics$' 2>/dev/null | head -1)
  [ -n "$statistics" ] && break
  sleep 0.2
done
DISPLAY=$display timeout 30 import -window root "$outdir/deb_statistics.png" || true
[ -n "$statistics" ] || fail "the Statistics window did not open (see $outdir/deb_statistics.png)"
echo "the Statistics window opened; screenshot $outdir/deb_statistics.png"

kill "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
game_pid=""

echo "== removing"
installed=0
DEBIAN_FRONTEND=noninteractive timeout 120 "${as_root[@]}" apt-get remove -y halbeet halbeet-tools halbeet-server \
  >"$outdir/deb_remove.log" 2>&1 || fail "apt-get remove failed (see $outdir/deb_remove.log)"
for package in halbeet halbeet-tools halbeet-server; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    && fail "$package is still installed"
done
for path in /usr/games/halbeet /usr/games/halbeet-sim /usr/games/halbeet-server \
    /usr/lib/systemd/system/halbeet-server.service "${module#.}" "$(dirname "${module#.}")" /usr/share/halbeet \
    /usr/share/doc/halbeet /usr/share/doc/halbeet-tools /usr/share/man/man6/halbeet.6.gz \
    /usr/share/metainfo/io.github.dovelarks.halbeet.metainfo.xml /usr/share/applications/halbeet.desktop; do
  [ -e "$path" ] && fail "$path is left after the removal"
done
echo "PASS: the packages are lintian-clean, install, start the game from /usr/games, the table server answers, and they remove cleanly"
