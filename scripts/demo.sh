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

demo=$root/.demo
build=$root/build-demo
zelto_password=demo-zelto
"$root/scripts/pg_cluster.sh" stop "$demo/pg" 2>/dev/null || true
mkdir -p "$demo" && chmod 755 "$demo"

cleanup() {
  [ -n "${service_pid:-}" ] && kill "$service_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  "$root/scripts/pg_cluster.sh" stop "$demo/pg" || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "Starting the demo PostgreSQL cluster..."
port=$("$root/scripts/pg_cluster.sh" start "$demo/pg" ssl)
"$root/scripts/load_schema.sh" "$port" "$zelto_password" demo

echo "Building (build-demo/, connection settings for the demo cluster on port $port)..."
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWIK_BUILD_TESTS=OFF -DWIK_BUILD_BENCH=OFF \
  -DZELTO_CATALOG_HOST=127.0.0.1 -DZELTO_CATALOG_PORT="$port" -DZELTO_DB_USER=zelto \
  -DZELTO_CATALOG_PASSWORD="$zelto_password" -DZELTO_COMPANY_PASSWORD="$zelto_password" >/dev/null
cmake --build "$build"

service=$build/tools/kalvoro-demo/kalvoro_demo_service
if [ -x "$service" ]; then
  cp "$root/db/demo/orders.json" "$demo/orders.json"
  coproc SERVICE { exec "$service" --port 0 --orders "$demo/orders.json" --user kalvoro --password demo \
    --state "$demo/confirmed.json" --log "$demo/service.log"; }
  service_pid=$SERVICE_PID
  read -r -t 10 service_port <&"${SERVICE[0]}"
  service_port=${service_port//[!0-9]/}
  psql -X -q -h 127.0.0.1 -p "$port" -U postgres -d zelto_demo \
    -c "UPDATE config_kalvoro SET base_url = '127.0.0.1:$service_port/api'"
  echo "Demo order service on http://127.0.0.1:$service_port/api (user kalvoro, password demo)"
else
  echo "(the demo order service is not built yet: retrieval will report that the service cannot be reached)"
fi

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
