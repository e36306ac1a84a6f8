#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the licence lines: scripts/spdx adds them where they are missing and nowhere else,
# a second run changes nothing, and every tracked source, script and CMake file of the
# repository has its line.
# Usage: packaging_check_spdx.sh SOURCE_DIR
set -euo pipefail
source_dir=${1:?usage: $0 SOURCE_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
id='SPDX-License-Identifier: GPL-3.0-or-later'

if ! git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "not a Git work tree: nothing to check"
  exit 77
fi

# A small repository with one file of each kind, one of them already carrying its line.
repo=$work/repo
mkdir -p "$repo/scripts" "$repo/src" "$repo/cmake" "$repo/data"
# The script itself, as it was before it had its own line.
sed '2{/^# SPDX-License-Identifier/d}' "$source_dir/scripts/spdx" >"$repo/scripts/spdx"
printf '#include "a.h"\nint a() { return 1; }\n' >"$repo/src/a.cpp"
printf '// %s\n#pragma once\n' "$id" >"$repo/src/a.h"
printf 'project(x)\n' >"$repo/CMakeLists.txt"
printf 'set(Y 1)\n' >"$repo/cmake/y.cmake"
printf '#!/bin/sh\necho hi\n' >"$repo/scripts/hello"
chmod +x "$repo/scripts/hello"
printf 'no licence line for data\n' >"$repo/data/notes.txt"
git -C "$repo" init -q
git -C "$repo" add -A

out=$(bash "$repo/scripts/spdx" --check 2>/dev/null) && fail "--check passed with files lacking the line"
[ "$out" = "$(printf '%s\n' CMakeLists.txt cmake/y.cmake scripts/hello scripts/spdx src/a.cpp)" ] ||
  fail "--check named: $out"
git -C "$repo" diff --quiet || fail "--check changed files"

bash "$repo/scripts/spdx" >/dev/null
[ "$(cat "$repo/src/a.cpp")" = "$(printf '// %s\n#include "a.h"\nint a() { return 1; }' "$id")" ] ||
  fail "a.cpp became: $(cat "$repo/src/a.cpp")"
[ "$(cat "$repo/src/a.h")" = "$(printf '// %s\n#pragma once' "$id")" ] || fail "a.h changed"
[ "$(head -n1 "$repo/CMakeLists.txt")" = "# $id" ] || fail "CMakeLists.txt lacks its line"
[ "$(head -n1 "$repo/cmake/y.cmake")" = "# $id" ] || fail "y.cmake lacks its line"
[ "$(cat "$repo/scripts/hello")" = "$(printf '#!/bin/sh\n# %s\necho hi' "$id")" ] ||
  fail "the script became: $(cat "$repo/scripts/hello")"
[ -x "$repo/scripts/hello" ] || fail "the script lost its executable bit"
[ "$(cat "$repo/data/notes.txt")" = 'no licence line for data' ] || fail "notes.txt changed"
git -C "$repo" add -A
[ -z "$(bash "$repo/scripts/spdx")" ] || fail "a second run changed files"
git -C "$repo" diff --quiet || fail "a second run changed files"
bash "$repo/scripts/spdx" --check >/dev/null || fail "--check fails after the run"

# The repository itself.
if ! out=$(bash "$source_dir/scripts/spdx" --check 2>&1); then
  fail "files lack the SPDX line (run scripts/spdx):"
  echo "$out" >&2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "every tracked source, script and CMake file carries \"$id\""
