#!/usr/bin/env bash
# Builds the program and runs the whole test suite against real PostgreSQL 15 servers, twice: a
# plain debug build in build/, then a build with AddressSanitizer, UndefinedBehaviorSanitizer and
# the leak check in build-sanitize/ (without the package check, which tests no sanitized code).
#   ./scripts/test.sh                 both runs
#   ./scripts/test.sh --plain         the plain run only
#   ./scripts/test.sh --sanitize      the sanitizer run only
#   ./scripts/test.sh -- -L pure      anything after -- goes to ctest (here: the pure tests only)
# Each run starts two throw-away clusters (one with TLS, one without) and removes them when it
# ends, also on failure or Ctrl-C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

plain=1
sanitize=1
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --plain) sanitize=0 ;;
    --sanitize) plain=0 ;;
    --) shift; ctest_args=("$@"); break ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
if [ $plain = 0 ] && [ $sanitize = 0 ]; then
  echo "--plain and --sanitize leave nothing to run" >&2
  exit 2
fi

"$root/scripts/deps.sh"

# run BUILD_DIR [CMAKE OPTIONS...]: builds in BUILD_DIR and runs the suite on clusters of its own.
run() (
  build=$1
  shift
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
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

  extra=()
  if [ "$build" = build-sanitize ]; then
    export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
    export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
    extra=(-LE package)
  fi

  cd "$build"
  ctest --output-on-failure -j2 "${extra[@]}" "${ctest_args[@]}"
)

if [ $plain = 1 ]; then
  echo "== the suite, plain debug build (build/)"
  run build
fi
if [ $sanitize = 1 ]; then
  echo "== the suite under AddressSanitizer, UBSan and the leak check (build-sanitize/)"
  run build-sanitize -DWIK_SANITIZE=ON
fi
