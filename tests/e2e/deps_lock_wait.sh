#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/deps.sh against a package manager whose lock another program holds: it waits with a
# visible message and installs once the lock is free, and gives up with a clear message at its
# limit. apt-get, dpkg-query and id are stand-ins on PATH, so nothing is really installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# Every package is missing; apt-get fails with dpkg's lock message until its counter runs out.
cat >"$work/bin/dpkg-query" <<'EOS'
#!/bin/sh
exit 1
EOS
cat >"$work/bin/id" <<'EOS'
#!/bin/sh
echo 0
EOS
cat >"$work/bin/apt-get" <<'EOS'
#!/bin/sh
n=$(cat "$FAKE_APT_STATE")
echo $((n - 1)) >"$FAKE_APT_STATE"
if [ "$n" -gt 0 ]; then
  echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (unattended-upgr)" >&2
  exit 100
fi
echo "apt-get $*" >>"$FAKE_APT_LOG"
EOS
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" FAKE_APT_STATE="$work/state" FAKE_APT_LOG="$work/log"
export HALBEET_APT_LOCK_POLL=1 HALBEET_APT_LOCK_WAIT=5

# Held for three tries: the script waits, says so, then updates and installs.
echo 3 >"$work/state"
out=$(bash "$root/scripts/deps.sh" play 2>&1) || { echo "deps.sh failed while the lock came free:"; echo "$out"; exit 1; }
grep -q "holds the package manager's lock" <<<"$out" || { echo "no waiting message:"; echo "$out"; exit 1; }
grep -q "apt-get .*update" "$work/log" || { echo "apt-get update never ran"; exit 1; }
grep -q "apt-get .*install .*xdg-utils" "$work/log" || { echo "the install did not run (or lacks xdg-utils)"; cat "$work/log"; exit 1; }

# Held for good: the script gives up at its limit with a clear message and a failure status.
echo 1000 >"$work/state"
rm -f "$work/log"
start=$(date +%s)
if out=$(bash "$root/scripts/deps.sh" play 2>&1); then
  echo "deps.sh succeeded although the lock was never free"; exit 1
fi
elapsed=$(( $(date +%s) - start ))
grep -q "Let it finish" <<<"$out" || { echo "no clear message at the limit:"; echo "$out"; exit 1; }
[ "$elapsed" -le 30 ] || { echo "waited ${elapsed}s with a limit of 5s"; exit 1; }
[ ! -e "$work/log" ] || { echo "something was installed without the lock"; exit 1; }
echo "deps.sh waits for the lock and gives up at its limit"
