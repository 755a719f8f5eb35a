#!/usr/bin/env bash
# Builds the program and runs the whole test suite against real PostgreSQL 15 servers.
#   ./scripts/test.sh                 everything
#   ./scripts/test.sh --sanitize      the same, built with AddressSanitizer and UBSan
#   ./scripts/test.sh -- -L pure      anything after -- goes to ctest (here: the pure tests only)
# Two throw-away clusters are started for the run (one with TLS, one without) and removed when
# it ends, also on failure or Ctrl-C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=build
cmake_args=()
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) build=build-sanitize; cmake_args+=(-DWIK_SANITIZE=ON) ;;
    --) shift; ctest_args=("$@"); break ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

"$root/scripts/deps.sh"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${cmake_args[@]}" >/dev/null
cmake --build "$build"

work=$(mktemp -d /tmp/wik-test.XXXXXX)
chmod 755 "$work"
cleanup() {
  "$root/scripts/pg_cluster.sh" stop "$work/pg" || true
  "$root/scripts/pg_cluster.sh" stop "$work/pgplain" || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

password="zelto-test-$RANDOM$RANDOM"
port=$("$root/scripts/pg_cluster.sh" start "$work/pg" ssl)
plain_port=$("$root/scripts/pg_cluster.sh" start "$work/pgplain" plain)
"$root/scripts/load_schema.sh" "$port" "$password"
"$root/scripts/load_schema.sh" "$plain_port" "$password"

export WIK_TEST_PGHOST=127.0.0.1
export WIK_TEST_PGPORT=$port
export WIK_TEST_PGPORT_PLAIN=$plain_port
export WIK_TEST_PGSUPERUSER=postgres
export WIK_TEST_ZELTO_PASSWORD=$password
export WIK_TEST_PGDATA=$work/pg
export WIK_TEST_ROOT=$root
export QT_QPA_PLATFORM=offscreen
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
[ "$build" = build-sanitize ] && export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

cd "$build"
ctest --output-on-failure -j2 "${ctest_args[@]}"
