#!/usr/bin/env bash
# Renders windows of the program under Xvfb to PNGs, against the demo setup (its own cluster and
# order service, started and stopped here).
#   ./scripts/screenshot.sh WINDOW...      menu login menu-signed-in workbench workbench-filter
#                                          viewer message error; "all" for every one
# The PNGs go to out/WINDOW.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || { echo "usage: screenshot.sh WINDOW..." >&2; exit 2; }
"$root/scripts/deps.sh"
. "$root/scripts/demo_env.sh"
demo=$(mktemp -d /tmp/wik-screens.XXXXXX)
build=$root/build-demo
trap 'demo_stop "$demo"; rm -rf "$demo"' EXIT
trap 'exit 130' INT TERM
demo_start "$demo"
demo_build "$build" "$DEMO_PG_PORT" wik_screenshot >/dev/null
demo_service_start "$demo" "$build"
windows=("$@")
[ "$1" = all ] && windows=(menu login menu-signed-in workbench workbench-filter viewer message error)
mkdir -p "$root/out"
for w in "${windows[@]}"; do
  # Each window in a fresh home, so that no saved login of an earlier run shows.
  home=$(mktemp -d "$demo/home.XXXX")
  HOME=$home XDG_DATA_HOME=$home/.local/share \
    xvfb-run -a -s "-screen 0 1600x1000x24" "$build/tools/screenshots/wik_screenshot" "$w" "$root/out/$w.png"
  echo "$root/out/$w.png"
done
