#!/usr/bin/env bash
# Renders a window of the program under Xvfb to a PNG.
#   ./scripts/screenshot.sh WINDOW [OUT.png]     WINDOW: menu | menu-signed-in | login | workbench | viewer
# The PNG goes to out/WINDOW.png unless OUT.png is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:?usage: screenshot.sh WINDOW [OUT.png]}
out=${2:-$root/out/$which.png}
"$root/scripts/deps.sh"
build=$root/build
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target wik_screenshot >/dev/null
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1600x1000x24" "$build/tools/screenshots/wik_screenshot" "$which" "$out"
echo "$out"
