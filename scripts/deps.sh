#!/usr/bin/env bash
# Installs the Debian packages Halbeet needs that are not installed yet.
#   scripts/deps.sh play    what it takes to build and run the game
#   scripts/deps.sh check   that, plus what the tests need
# Idempotent: installed packages are left alone and apt-get is not run at all when
# nothing is missing.
set -euo pipefail

profile=${1:-play}

build_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6
  qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite qt6-qpa-plugins libsimpleini-dev kdegames-card-data-kf5 fonts-dejavu-core fp-utils python3)
play_pkgs=(xchm)
check_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils
  clang libclang-rt-14-dev dpkg-dev file lintian appstream desktop-file-utils)

pkgs=("${build_pkgs[@]}")
case "$profile" in
  play) pkgs+=("${play_pkgs[@]}") ;;
  check) pkgs+=("${check_pkgs[@]}") ;;
  *) echo "usage: $0 play|check" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "==> All required packages are installed."
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "==> Installing missing packages: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
