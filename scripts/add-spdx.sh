#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the project's licence identifier at the top of every tracked source file:
#   // SPDX-License-Identifier: GPL-3.0-or-later    first line of every .h/.cpp (src, tools, tests,
#                                                   bench, assets)
#   # SPDX-License-Identifier: GPL-3.0-or-later     CMake files, shell and Python scripts (after
#                                                   the #! line when there is one)
# Files that already carry an SPDX line are left alone, so it can be run again at any time
# (after a merge, say). Run from anywhere inside the repository; prints the files it changed.
set -euo pipefail

id="SPDX-License-Identifier: GPL-3.0-or-later"
root=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
cd "$root"

has_spdx() { head -n 3 "$1" | grep -qE '^(//|#) SPDX-License-Identifier:'; }

# $1 file, $2 the comment line; after a #! line if the file starts with one.
add_line() {
  local file=$1 line=$2 tmp
  has_spdx "$file" && return 0
  tmp=$(mktemp "$file.spdx.XXXXXX")
  if head -n 1 "$file" | grep -q '^#!'; then
    { head -n 1 "$file"; printf '%s\n' "$line"; tail -n +2 "$file"; } >"$tmp"
  else
    { printf '%s\n' "$line"; cat "$file"; } >"$tmp"
  fi
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
  echo "$file"
}

git ls-files -z | while IFS= read -r -d '' file; do
  case "$file" in
    *.h | *.cpp) add_line "$file" "// $id" ;;
  esac
done

git ls-files -z | while IFS= read -r -d '' file; do
  [ -f "$file" ] || continue
  case "$file" in
    */corpus/* | *.ini | *.json | *.md | *.png | *.svg) continue ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.py) add_line "$file" "# $id" ;;
    *)
      # Scripts without an extension (play, check, .ci/run): a shell or Python #! line.
      if head -n 1 "$file" | grep -qE '^#!.*(ba|da)?sh|^#!.*python'; then
        add_line "$file" "# $id"
      fi
      ;;
  esac
done
