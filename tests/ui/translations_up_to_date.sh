#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a translation file is behind the program's texts: lupdate, run over the texts on
# a copy of each file, must change nothing (no new text, none gone), and no text may be left
# untranslated.
#   translations_up_to_date.sh <lupdate> <source folder>
set -eu
lupdate=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$source"/translations/halbeet_*.ts; do
  copy=$work/$(basename "$ts")
  cp "$ts" "$copy"
  "$lupdate" -silent -locations none -no-obsolete "$source/src/ui/language.cpp" -ts "$copy"
  if ! diff -u "$ts" "$copy"; then
    echo "$(basename "$ts") is behind the program's texts: run the update_translations target" >&2
    status=1
  fi
  if grep -n 'type="unfinished"' "$ts" >&2; then
    echo "$(basename "$ts") has texts without a translation" >&2
    status=1
  fi
done
exit $status
