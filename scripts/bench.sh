#!/usr/bin/env bash
# Builds in release mode and runs one benchmark of bench/:
#   ./scripts/bench.sh NAME        (json, list, grid, import)
# Its last line reads "NAME ratio=<x> memory_ratio=<y>" (some add further figures). Benchmarks that
# need the database get a throw-away cluster of their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?usage: bench.sh NAME}
"$root/scripts/deps.sh"
build=$root/build-release
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "bench_$name" >/dev/null
exe=$(find "$build/bench" -type f -name "bench_$name" -perm -u+x | head -n 1)
[ -n "$exe" ] || { echo "no benchmark bench_$name" >&2; exit 2; }

work=$(mktemp -d /tmp/wik-bench.XXXXXX)
chmod 755 "$work"
cleanup() { "$root/scripts/pg_cluster.sh" stop "$work/pg" || true; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

password="zelto-bench-$RANDOM"
port=$("$root/scripts/pg_cluster.sh" start "$work/pg" ssl)
"$root/scripts/load_schema.sh" "$port" "$password"
export WIK_TEST_PGHOST=127.0.0.1 WIK_TEST_PGPORT=$port WIK_TEST_PGSUPERUSER=postgres \
  WIK_TEST_ZELTO_PASSWORD=$password WIK_TEST_ROOT=$root WIK_BENCH_WORK=$work \
  QT_QPA_PLATFORM=offscreen
"$exe"
