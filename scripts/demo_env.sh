# Sourced by demo.sh and screenshot.sh: the demo setup in one place.
#   demo_build BUILD_DIR PORT      builds the program and the tools with the demo cluster's settings
#   demo_start DIR                 starts the cluster (DEMO_PG_PORT) with the demo data
#   demo_service_start DIR BUILD   starts the demo order service (DEMO_SERVICE_PORT) and points
#                                  the demo company's config_kalvoro at it
#   demo_stop DIR                  stops both
DEMO_ZELTO_PASSWORD=demo-zelto
demo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

demo_start() {
  local dir=$1
  "$demo_root/scripts/pg_cluster.sh" stop "$dir/pg" 2>/dev/null || true
  mkdir -p "$dir" && chmod 755 "$dir"
  DEMO_PG_PORT=$("$demo_root/scripts/pg_cluster.sh" start "$dir/pg" ssl)
  "$demo_root/scripts/load_schema.sh" "$DEMO_PG_PORT" "$DEMO_ZELTO_PASSWORD" demo
}

demo_build() {
  local build=$1 port=$2
  shift 2
  cmake -S "$demo_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWIK_BUILD_TESTS=OFF \
    -DWIK_BUILD_BENCH=OFF -DZELTO_CATALOG_HOST=127.0.0.1 -DZELTO_CATALOG_PORT="$port" -DZELTO_DB_USER=zelto \
    -DZELTO_CATALOG_PASSWORD="$DEMO_ZELTO_PASSWORD" -DZELTO_COMPANY_PASSWORD="$DEMO_ZELTO_PASSWORD" >/dev/null
  cmake --build "$build" --target wImportKalvoro kalvoro_demo_service "$@"
}

demo_service_start() {
  local dir=$1 build=$2
  cp "$demo_root/db/demo/orders.json" "$dir/orders.json"
  rm -f "$dir/confirmed.json"
  "$build/tools/kalvoro-demo/kalvoro_demo_service" --port 0 --orders "$dir/orders.json" --user kalvoro \
    --password demo --state "$dir/confirmed.json" --log "$dir/service.log" >"$dir/service.out" 2>&1 &
  DEMO_SERVICE_PID=$!
  local i
  for i in $(seq 50); do
    DEMO_SERVICE_PORT=$(head -n 1 "$dir/service.out" 2>/dev/null | tr -cd '0-9')
    [ -n "$DEMO_SERVICE_PORT" ] && break
    sleep 0.1
  done
  psql -X -q -h 127.0.0.1 -p "$DEMO_PG_PORT" -U postgres -d zelto_demo \
    -c "UPDATE config_kalvoro SET base_url = '127.0.0.1:$DEMO_SERVICE_PORT/api'"
}

demo_stop() {
  local dir=$1
  [ -n "${DEMO_SERVICE_PID:-}" ] && kill "$DEMO_SERVICE_PID" 2>/dev/null || true
  "$demo_root/scripts/pg_cluster.sh" stop "$dir/pg" || true
}
