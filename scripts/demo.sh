#!/usr/bin/env bash
# Starts wImportKalvoro on a ready demo setup: a private PostgreSQL cluster holding the catalog and
# the demo company (whose order log already has a few orders), and the demo order service with
# pending orders. Without a graphical display the program runs under Xvfb for a few seconds and a
# screenshot of its menu window is saved.
#   ./scripts/demo.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh"
. "$root/scripts/demo_env.sh"

demo=$root/.demo
build=$root/build-demo
cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  demo_stop "$demo"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "Starting the demo PostgreSQL cluster..."
demo_start "$demo"
echo "Building in build-demo/ with the connection settings of the demo cluster (port $DEMO_PG_PORT)..."
demo_build "$build" "$DEMO_PG_PORT"
demo_service_start "$demo" "$build"
echo "Demo order service on http://127.0.0.1:$DEMO_SERVICE_PORT/api (user kalvoro, password demo)"

cat <<TXT

  Sign in with   Company: Demo    UserName: operator    Password: demo

TXT

program=$build/app/wImportKalvoro
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$program"
else
  echo "No graphical display: running under Xvfb for a few seconds."
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  sleep 1
  DISPLAY=$display "$program" &
  program_pid=$!
  sleep 4
  mkdir -p "$root/out"
  win=$(DISPLAY=$display xwininfo -root -tree | awk '/"fMenuImportKalvoro"/ {print $1; exit}')
  DISPLAY=$display import -window "${win:-root}" "$root/out/demo-menu.png" || true
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  echo "Screenshot of the menu window: $root/out/demo-menu.png"
fi
