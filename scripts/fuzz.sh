#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang's libFuzzer (address and undefined-behaviour
# sanitizers on) in build-fuzz/ and runs one of them, or all of them one after another:
#   ./scripts/fuzz.sh NAME SECONDS [-- LIBFUZZER OPTIONS]
#   ./scripts/fuzz.sh json 60                   one minute of the JSON target
#   ./scripts/fuzz.sh all 0 -- -runs=10000000   ten million inputs for every target (0: no time limit)
# NAME is json, savedlogin, urlrule, charset, errortext or all. The seed corpus of a target
# (tests/fuzz/corpus/NAME) is copied into build-fuzz/corpus/NAME, where the run adds what it finds;
# an input that breaks a target is written to build-fuzz/artifacts/NAME/ and ends the run with a
# failure. Reproduce one with: build-fuzz/fuzz_NAME FILE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?usage: fuzz.sh NAME SECONDS [-- LIBFUZZER OPTIONS]}
seconds=${2:?usage: fuzz.sh NAME SECONDS [-- LIBFUZZER OPTIONS]}
shift 2
extra=()
if [ $# -gt 0 ]; then
  [ "$1" = "--" ] || { echo "unknown option $1" >&2; exit 2; }
  shift
  extra=("$@")
fi

targets=(json savedlogin urlrule charset errortext)
if [ "$name" = all ]; then
  run=("${targets[@]}")
else
  case " ${targets[*]} " in
    *" $name "*) run=("$name") ;;
    *) echo "no fuzz target $name (one of: ${targets[*]} all)" >&2; exit 2 ;;
  esac
fi

# Inputs longer than this teach a target nothing new and only slow it down.
max_len() {
  case "$1" in
    json|savedlogin) echo 4096 ;;
    urlrule) echo 512 ;;
    charset|errortext) echo 1024 ;;
  esac
}

"$root/scripts/deps.sh"
# The fuzzers alone need clang and its sanitizer runtime.
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build=$root/build-fuzz
CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${run[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for t in "${run[@]}"; do
  corpus=$build/corpus/$t
  artifacts=$build/artifacts/$t
  mkdir -p "$corpus" "$artifacts"
  cp -n "$root/tests/fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  options=(-max_len="$(max_len "$t")" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
           -print_final_stats=1 -artifact_prefix="$artifacts/")
  [ -f "$root/tests/fuzz/$t.dict" ] && options+=(-dict="$root/tests/fuzz/$t.dict")
  echo "== fuzz_$t"
  "$build/fuzz_$t" "${options[@]}" "${extra[@]}" "$corpus"
done
