#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throwaway prefix and checks the desktop integration: every file
# in its standard place under the one application id, the icon sizes true to their folder
# names, and desktop-file-validate and appstreamcli (pedantic, offline) content; then the
# version, the manual page and the copyright file.
# Usage: packaging_check_install.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR}
id=org.verrindel.editor
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
[ -x "$prefix/bin/verrindel" ] || fail "bin/verrindel is missing or not executable"
[ -f "$desktop" ] || fail "desktop entry $desktop is missing"
[ -f "$metainfo" ] || fail "metainfo $metainfo is missing"
[ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "scalable icon is missing"

# Every PNG is square and as large as its folder says (width and height from the IHDR chunk).
pngs=0
for png in "$prefix"/share/icons/hicolor/*x*/apps/$id.png; do
  [ -f "$png" ] || continue
  pngs=$((pngs + 1))
  size=$(basename "$(dirname "$(dirname "$png")")")
  w=$(od -An -tu1 -j16 -N4 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  h=$(od -An -tu1 -j20 -N4 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  [ "${w}x${h}" = "$size" ] || fail "$png is ${w}x${h}, not $size"
done
for needed in 16x16 32x32 48x48 64x64 128x128 256x256; do
  [ -f "$prefix/share/icons/hicolor/$needed/apps/$id.png" ] || fail "icon $needed is missing"
done

if [ -f "$desktop" ]; then
  key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
  [ "$(key Icon)" = "$id" ] || fail "desktop Icon= is '$(key Icon)', not $id"
  [ "$(key Exec)" = "verrindel %f" ] || fail "desktop Exec= is '$(key Exec)'"
  [ "$(key MimeType)" = "text/html;text/css;" ] || fail "desktop MimeType= is '$(key MimeType)'"
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  if grep -qiE 'error|warning' <<<"$out"; then fail "desktop-file-validate: $out"; fi
  [ -z "$out" ] || echo "$out"
fi
if [ -f "$metainfo" ]; then
  grep -q "<id>$id</id>" "$metainfo" || fail "metainfo <id> is not $id"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo launchable is not $id.desktop"
  grep -q "<binary>verrindel</binary>" "$metainfo" || fail "metainfo does not provide verrindel"
  # Pedantic hints do not change the exit status: any note at all counts as a failure.
  out=$(appstreamcli validate --no-net --pedantic --strict "$metainfo" 2>&1) ||
    fail "appstreamcli validate: $out"
  grep -q 'Validation was successful' <<<"$out" || fail "appstreamcli validate: $out"
  echo "$out"
fi

# The command line answers with no display; the metainfo's release is the program's version.
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/verrindel" "$@"; }
version=$(headless --version) || fail "verrindel --version failed"
[[ "$version" =~ ^verrindel\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "verrindel --version says '$version'"
if [ -f "$metainfo" ]; then
  grep -q "<release version=\"${version#verrindel }\" date=\"[0-9-]*\">" "$metainfo" ||
    fail "metainfo has no release entry for ${version#verrindel }"
  grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" ||
    fail "metainfo project_license is not GPL-3.0-or-later"
fi

# The manual page: in its place, rendered by groff with every warning on and no warning, and
# describing every option that --help lists.
man=$prefix/share/man/man1/verrindel.1.gz
if [ -f "$man" ]; then
  warnings=$(zcat "$man" | groff -man -ww -z 2>&1) || fail "groff failed on the manual page"
  [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
  page=$(zcat "$man" | groff -man -Tutf8 -P-cbou 2>/dev/null)
  grep -qF "VERRiNDEL ${version#verrindel }" <<<"$page" || fail "the manual page is not of ${version#verrindel }"
  for option in $(headless --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$page" || fail "the manual page does not describe $option"
  done
  for word in 'EXIT STATUS' ENVIRONMENT QTWEBENGINE_DISABLE_SANDBOX pre-commit; do
    grep -qF -- "$word" <<<"$page" || fail "the manual page does not mention $word"
  done
else
  fail "manual page $man is missing"
fi

# The licence in Debian's machine-readable copyright format.
copyright=$prefix/share/doc/verrindel/copyright
if [ -f "$copyright" ]; then
  head -n1 "$copyright" | grep -qE '^Format: .*/copyright-format/1\.0/?$' ||
    fail "copyright file does not start with the machine-readable Format line"
  grep -qxF 'License: GPL-3+' "$copyright" || fail "copyright file names no GPL-3+ licence"
  grep -qF /usr/share/common-licenses/GPL-3 "$copyright" || fail "copyright file does not point to GPL-3"
else
  fail "copyright file $copyright is missing"
fi

echo "checked $pngs icon sizes, the desktop entry, the metainfo of $id, the manual page and the copyright file"
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
