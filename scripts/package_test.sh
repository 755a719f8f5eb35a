#!/usr/bin/env bash
# Checks the Debian package: its control data, that it holds the program, the desktop entry,
# the icon, the copyright file and the changelog and nothing else, that lintian finds no error,
# and that the program installed from it starts and shows its menu window (under Xvfb).
#   ./scripts/package_test.sh DEB          checks a built package
#   ./scripts/package_test.sh --build DIR  builds one first (scripts/package.sh --build-dir DIR)
#                                          with recognisable settings, and also checks that they
#                                          were compiled in (and the passwords not as plain text)
# The package is unpacked with dpkg -x into a throw-away folder; nothing is installed on the system.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

settings_check=0
if [ "${1:-}" = --build ] && [ $# -eq 2 ]; then
  export ZELTO_CATALOG_HOST=catalog.package-check.invalid ZELTO_CATALOG_PORT=6543 \
    ZELTO_DB_USER=zelto_package_check ZELTO_CATALOG_PASSWORD=Catalog-Secret-4711 \
    ZELTO_COMPANY_PASSWORD=Company-Secret-0815
  # The build's output stays visible (a compiler error must show); its last line is the package.
  deb=$("$root/scripts/package.sh" --build-dir "$2" | tee /dev/stderr | tail -n 1)
  settings_check=1
elif [ $# -eq 1 ] && [ "${1#-}" = "$1" ]; then
  deb=$1
else
  echo "usage: package_test.sh DEB | --build DIR" >&2
  exit 2
fi
[ -f "$deb" ] || { echo "no package at $deb" >&2; exit 2; }

work=$(mktemp -d /tmp/wik-package-test.XXXXXX)
xvfb_pid='' program_pid=''
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# --- control data
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = wimportkalvoro ] && pass "package name" || fail "Package is '$(field Package)'"
version=$(sed -n 's/^project(wImportKalvoro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ "$(field Version)" = "$version" ] && pass "version $version" || fail "Version is '$(field Version)', the project's is '$version'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] && pass "architecture" || fail "Architecture is '$(field Architecture)'"
for f in Maintainer Section Description; do
  [ -n "$(field $f)" ] && pass "$f given" || fail "no $f"
done
# The runtime libraries come from shlibdeps: the program's own libraries must all be there.
depends=$(field Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libpq5 libcurl4 libstdc++6 libc6; do
  [[ ", $depends" == *", $lib "* ]] && pass "depends on $lib" || fail "Depends lacks $lib: $depends"
done

# --- contents: exactly these files, and no folder that holds none of them
expected="./usr/bin/wImportKalvoro
./usr/share/applications/wimportkalvoro.desktop
./usr/share/doc/wimportkalvoro/changelog.gz
./usr/share/doc/wimportkalvoro/copyright
./usr/share/icons/hicolor/scalable/apps/wimportkalvoro.svg"
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort)
if [ "$files" = "$expected" ]; then
  pass "the package holds exactly the expected files"
else
  fail "unexpected contents:"; diff <(echo "$expected") <(echo "$files") >&2 || true
fi
while read -r dir; do
  dir=${dir%/}
  grep -q "^$dir/" <<<"$expected" || fail "folder $dir holds none of the expected files"
done < <(awk '$1 ~ /^d/ {print $6}' <<<"$listing")
not_root=$(awk '$2 != "root/root" {print $6}' <<<"$listing")
[ -z "$not_root" ] && pass "everything owned by root" || fail "not owned by root: $not_root"

pkgroot=$work/root
dpkg -x "$deb" "$pkgroot"
program=$pkgroot/usr/bin/wImportKalvoro

# --- the program
[ -x "$program" ] && pass "program executable" || fail "program not executable"
file -b "$program" | grep -q 'ELF.*, stripped' && pass "program stripped" || fail "program not stripped: $(file -b "$program")"
if readelf -d "$program" | grep -Eq 'RPATH|RUNPATH'; then fail "program carries a run path"; else pass "no run path"; fi
if [ $settings_check -eq 1 ]; then
  grep -aq "$ZELTO_CATALOG_HOST" "$program" && pass "catalog host compiled in" || fail "catalog host not in the program"
  grep -aq "$ZELTO_DB_USER" "$program" && pass "database user compiled in" || fail "database user not in the program"
  for pw in "$ZELTO_CATALOG_PASSWORD" "$ZELTO_COMPANY_PASSWORD"; do
    grep -aq "$pw" "$program" && fail "a password stands in the program as plain text" || pass "password not in plain text"
  done
fi

# --- desktop entry and icon
desktop=$pkgroot/usr/share/applications/wimportkalvoro.desktop
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(head -n 1 "$desktop")" = "[Desktop Entry]" ] && pass "desktop entry group" || fail "desktop entry does not start with [Desktop Entry]"
[ "$(entry Type)" = Application ] && pass "desktop Type" || fail "desktop Type is '$(entry Type)'"
for key in Name Comment; do
  [ -n "$(entry $key)" ] && pass "desktop $key" || fail "desktop entry has no $key"
done
[ "$(entry Categories)" = "Office;" ] && pass "desktop Categories" || fail "desktop Categories is '$(entry Categories)'"
exec_cmd=$(entry Exec | awk '{print $1}')
[ -x "$pkgroot/usr/bin/$exec_cmd" ] && pass "desktop Exec is the packaged program" || fail "desktop Exec '$exec_cmd' is not in /usr/bin of the package"
icon=$pkgroot/usr/share/icons/hicolor/scalable/apps/$(entry Icon).svg
[ -f "$icon" ] && pass "desktop Icon names the packaged icon" || fail "no icon for Icon=$(entry Icon)"
python3 -c 'import sys, xml.etree.ElementTree as t; r = t.parse(sys.argv[1]).getroot(); sys.exit(r.tag != "{http://www.w3.org/2000/svg}svg")' \
  "$pkgroot/usr/share/icons/hicolor/scalable/apps/wimportkalvoro.svg" && pass "icon is an SVG document" || fail "icon is not an SVG document"

# --- documentation
doc=$pkgroot/usr/share/doc/wimportkalvoro
head -n 1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  && pass "copyright file" || fail "copyright file not in the machine-readable format"
first=$(gzip -dc "$doc/changelog.gz" | head -n 1)
[[ "$first" == "wimportkalvoro ($version) "* ]] && pass "changelog names this version" || fail "changelog starts with '$first'"

# --- lintian: errors fail, the rest is shown
lint=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -n "$lint" ] && echo "$lint"
grep -q '^E:' <<<"$lint" && fail "lintian reports errors" || pass "lintian reports no error"

# --- start the installed program headless and wait for its menu window
mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
display=:$(cat "$work/display")
HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config \
  XDG_RUNTIME_DIR=$work/runtime DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
program_pid=$!
window=''
for _ in $(seq 300); do
  kill -0 "$program_pid" 2>/dev/null || break
  window=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep '"fMenuImportKalvoro"' || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -n "$window" ]; then
  pass "the installed program shows its menu window"
  sleep 1
  kill -0 "$program_pid" 2>/dev/null && pass "the program keeps running" || fail "the program ended after showing its window"
else
  fail "no menu window within 30 s"; cat "$work/program.log" >&2
fi
kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
program_pid=''

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed for $deb" >&2
  exit 1
fi
echo "package checked: $deb"
