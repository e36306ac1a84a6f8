#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the Debian package: its control fields and computed dependencies, its contents
# (the manual page and the copyright file among them), the version the program it holds
# prints, and that the editor starts from its desktop entry's command and opens a file.
# The package is unpacked into a throwaway root, never installed on this machine.
# Usage: packaging_check_deb.sh PACKAGE.deb
#        packaging_check_deb.sh --build BUILD_DIR   (builds the package first with CPack)
set -euo pipefail
work=$(mktemp -d)
editor_pid=
cleanup() {
  if [ -n "$editor_pid" ]; then kill "$editor_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if [ "${1:-}" = "--build" ]; then
  build=${2:?usage: $0 --build BUILD_DIR}
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >cpack.log 2>&1) ||
    { cat "$work/cpack.log"; exit 1; }
  deb=$(ls "$work"/out/verrindel_*.deb)
else
  deb=${1:?usage: $0 PACKAGE.deb | --build BUILD_DIR}
fi
id=org.verrindel.editor

echo "== $(basename "$deb")"
dpkg-deb --info "$deb"
echo "== contents"
dpkg-deb --contents "$deb" | awk '{print $NF}'

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = verrindel ] || fail "package name is '$(field Package)'"
depends=$(field Depends)
# Found by dpkg-shlibdeps from the executable (versions included), and the run-time extras.
# QScintilla is linked in (built from its source with our patches): no package of it.
for pkg in libqt6widgets6 libqt6webenginewidgets6 libqt6printsupport6 \
           libstdc\\+\\+6 fonts-crosextra-caladea fonts-dejavu-core qt6-image-formats-plugins; do
  grep -qE "(^|, )$pkg( \\(|,|$)" <<<"$depends" || fail "Depends lacks $pkg: $depends"
done
if grep -qE 'libqscintilla2' <<<"$depends"; then
  fail "Depends names the QScintilla library: $depends"
fi
grep -qE 'libqt6widgets6 \(>= [0-9]' <<<"$depends" || fail "Depends carries no computed versions"

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in ./usr/bin/verrindel ./usr/share/applications/$id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
            ./usr/share/icons/hicolor/48x48/apps/$id.png ./usr/share/icons/hicolor/256x256/apps/$id.png \
            ./usr/share/man/man1/verrindel.1.gz ./usr/share/doc/verrindel/copyright; do
  grep -qxF "$path" <<<"$contents" || fail "package lacks $path"
done

# Start the packaged editor as the desktop would: the entry's Exec line with %f = a page.
root=$work/root
dpkg-deb --extract "$deb" "$root"
# The packaged program answers --version with the package's version, with no display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/verrindel" --version) ||
  fail "the packaged verrindel --version failed"
[ "$version" = "verrindel $(field Version)" ] ||
  fail "verrindel --version says '$version', the package is $(field Version)"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop")
page="$work/pages/start page.html"
mkdir -p "$(dirname "$page")"
printf '<html>\r\n<body><p>Hello</p></body>\r\n</html>\r\n' >"$page"
read -r -a command <<<"$exec_line"
args=()
for word in "${command[@]}"; do
  case "$word" in
    verrindel) args+=("$root/usr/bin/verrindel") ;;
    %f) args+=("$page") ;;
    *) args+=("$word") ;;
  esac
done

if [ -z "${DISPLAY:-}" ]; then
  fail "no X display: run under xvfb-run"
else
  if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
  # A home of its own: unsaved text that an earlier run on this machine left for recovery
  # would otherwise be offered first, and the page would not open.
  mkdir -p "$work/home"
  HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config" \
    QT_QPA_PLATFORM=xcb "${args[@]}" >"$work/editor.log" 2>&1 &
  editor_pid=$!
  # The editor is up once a window is captioned with the page's full path.
  found=
  for _ in $(seq 1 300); do
    if xwininfo -root -tree 2>/dev/null | grep -qF "\"$page\""; then found=1; break; fi
    kill -0 "$editor_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$found" ]; then
    echo "== the packaged editor started and shows \"$page\""
  else
    fail "the packaged editor did not show a window captioned \"$page\""
    cat "$work/editor.log" >&2
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checks passed"
