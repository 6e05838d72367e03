#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Halbeet needs that are not installed yet.
#   scripts/deps.sh play    what it takes to build and run the game
#   scripts/deps.sh check   that, plus what the tests need
# Idempotent: installed packages are left alone and apt-get is not run at all when
# nothing is missing. Installing needs root: run as root, or with sudo available.
set -euo pipefail

profile=${1:-play}

build_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6
  qt6-charts-dev qt6-websockets-dev libqt6opengl6-dev libqt6sql6-sqlite qt6-qpa-plugins libsimpleini-dev kdegames-card-data-kf5
  fonts-dejavu-core fp-utils python3 nlohmann-json3-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools libxcb1-dev)
play_pkgs=(xchm xdg-utils qt6-translations-l10n)
check_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils
  clang libclang-rt-14-dev dpkg-dev file lintian appstream desktop-file-utils qt6-translations-l10n
  at-spi2-core python3-pyatspi dbus-daemon openbox wmctrl openssl iproute2)

pkgs=("${build_pkgs[@]}")
# The web page is built with Node.js and npm. Debian's packages only when the commands are
# missing: a Node.js from elsewhere carries its own npm, and Debian's npm beside it breaks it.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  pkgs+=(nodejs npm)
fi
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

# Another package manager may hold apt's or dpkg's lock, as the automatic updates of a freshly
# booted machine do: wait for it, saying so, up to a limit, then give up with a clear message.
lock_limit=${HALBEET_APT_LOCK_WAIT:-600}
lock_poll=${HALBEET_APT_LOCK_POLL:-10}
apt_get() {
  local waited=0 rc errors
  errors=$(mktemp)
  while :; do
    rc=0
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout="$lock_poll" "$@" \
      2>"$errors" || rc=$?
    if [ "$rc" -eq 0 ] || ! grep -qiE 'could not get lock|unable to (acquire|lock)' "$errors"; then
      cat "$errors" >&2
      rm -f "$errors"
      return "$rc"
    fi
    if [ "$waited" -ge "$lock_limit" ]; then
      cat "$errors" >&2
      rm -f "$errors"
      echo "==> Another program has held the package manager's lock for $((lock_limit / 60)) minutes" \
        "or more. Let it finish (for example the system's automatic updates), then run this again." >&2
      exit 1
    fi
    echo "==> Another program is installing packages and holds the package manager's lock;" \
      "waiting for it (${waited}s so far, at most ${lock_limit}s)..."
    sleep "$lock_poll"
    waited=$((waited + lock_poll))
  done
}

echo "==> Installing missing packages: ${missing[*]}"
apt_get update
apt_get install -y --no-install-recommends "${missing[@]}"
