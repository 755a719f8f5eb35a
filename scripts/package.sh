#!/usr/bin/env bash
# Builds the Debian package wimportkalvoro from a Release build with the given connection
# settings, which are compiled into the program:
#   ./scripts/package.sh [--catalog-host HOST] [--catalog-port PORT] [--db-user USER]
#                        [--catalog-password PW] [--company-password PW] [--build-dir DIR]
# Each setting left out comes from the environment variable of the same name as the CMake
# setting (ZELTO_CATALOG_HOST, ZELTO_CATALOG_PORT, ZELTO_DB_USER, ZELTO_CATALOG_PASSWORD,
# ZELTO_COMPANY_PASSWORD), else from the default (127.0.0.1, 5432, zelto, empty, empty).
# Prefer the environment for the passwords: options show in the process list.
# The build goes to build-package/ (or DIR); the last line printed is the path of the .deb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

host=${ZELTO_CATALOG_HOST:-127.0.0.1}
port=${ZELTO_CATALOG_PORT:-5432}
user=${ZELTO_DB_USER:-zelto}
catalog_pw=${ZELTO_CATALOG_PASSWORD:-}
company_pw=${ZELTO_COMPANY_PASSWORD:-}
build=$root/build-package
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || { echo "option $1 needs a value" >&2; exit 2; }
  case "$1" in
    --catalog-host) host=$2 ;;
    --catalog-port) port=$2 ;;
    --db-user) user=$2 ;;
    --catalog-password) catalog_pw=$2 ;;
    --company-password) company_pw=$2 ;;
    --build-dir) build=$2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
case "$port" in
  ''|*[!0-9]*) echo "the catalog port must be a number: $port" >&2; exit 2 ;;
esac

"$root/scripts/deps.sh"

# The settings go through an initial-cache file rather than -D options, so that the passwords
# do not show in the process list while CMake runs. FORCE replaces what an earlier run left in
# the cache; every setting is written, so nothing of an earlier run lingers. CMake's bracket
# strings take any text unchanged as long as it holds no "]==]".
cmake_quote() {
  case "$1" in *']==]'*) echo "a setting may not contain ]==]" >&2; exit 2 ;; esac
  printf '[==[%s]==]' "$1"
}
mkdir -p "$build"
settings=$(mktemp "$build/settings.XXXXXX.cmake")
trap 'rm -f "$settings"' EXIT
chmod 600 "$settings"
# The hardening flags Debian builds its own packages with, without its -O2 -g (Release's
# optimisation stays; the debug information would only be stripped again).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | sed -e 's/\(^\| \)-g\( \|$\)/ /' -e 's/\(^\| \)-O2\( \|$\)/ /' -e 's/-ffile-prefix-map=[^ ]*//')"
ldflags=$(dpkg-buildflags --get LDFLAGS)
{
  echo "set(ZELTO_CATALOG_HOST $(cmake_quote "$host") CACHE STRING \"\" FORCE)"
  echo "set(ZELTO_CATALOG_PORT $(cmake_quote "$port") CACHE STRING \"\" FORCE)"
  echo "set(ZELTO_DB_USER $(cmake_quote "$user") CACHE STRING \"\" FORCE)"
  echo "set(ZELTO_CATALOG_PASSWORD $(cmake_quote "$catalog_pw") CACHE STRING \"\" FORCE)"
  echo "set(ZELTO_COMPANY_PASSWORD $(cmake_quote "$company_pw") CACHE STRING \"\" FORCE)"
  echo "set(CMAKE_CXX_FLAGS $(cmake_quote "$cxxflags") CACHE STRING \"\" FORCE)"
  echo "set(CMAKE_EXE_LINKER_FLAGS $(cmake_quote "$ldflags") CACHE STRING \"\" FORCE)"
} >"$settings"

echo "Configuring the Release build in $build (catalog $host:$port, user $user)..."
cmake -S "$root" -B "$build" -G Ninja -C "$settings" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DWIK_BUILD_TESTS=OFF -DWIK_BUILD_BENCH=OFF >/dev/null
rm -f "$settings"
cmake --build "$build" -j 2 --target wImportKalvoro wik_package_changelog

# Only the package's own targets are built; cpack installs from the build tree as it stands.
rm -f "$build"/wimportkalvoro_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/wimportkalvoro_*.deb)
echo "$deb"
