#!/usr/bin/env bash
# A throw-away PostgreSQL 15 cluster on a free loopback port.
#   pg_cluster.sh start DIR ssl|plain   prints the port; the cluster's files live in DIR
#   pg_cluster.sh stop DIR
#   pg_cluster.sh halt DIR [fast|immediate]   stops the server and keeps its files (the tests of a
#                                            database that goes away under the program)
#   pg_cluster.sh startagain DIR              starts a halted cluster again on its port; prints it
# Run as root, the server runs as the unprivileged user postgres. Connections as the role
# "zelto" need its password; every other role is trusted on loopback (the tests' set-up role).
set -euo pipefail
PGBIN=/usr/lib/postgresql/15/bin
cmd=$1 dir=$2

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

case "$cmd" in
start)
  mode=${3:-ssl}
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  as_owner "$PGBIN/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
  port=$(free_port)
  {
    echo "listen_addresses = '127.0.0.1'"
    echo "port = $port"
    echo "unix_socket_directories = '$dir'"
    echo "fsync = off"
    echo "synchronous_commit = off"
    echo "full_page_writes = off"
    echo "max_connections = 200"
    echo "timezone = 'UTC'"
  } >>"$dir/data/postgresql.conf"
  if [ "$mode" = ssl ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
      -keyout "$dir/data/server.key" -out "$dir/data/server.crt" >/dev/null 2>&1
    chmod 600 "$dir/data/server.key"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir/data/server.key" "$dir/data/server.crt"
    echo "ssl = on" >>"$dir/data/postgresql.conf"
  fi
  cat >"$dir/data/pg_hba.conf" <<HBA
local all all trust
host  all zelto 127.0.0.1/32 scram-sha-256
host  all all   127.0.0.1/32 trust
HBA
  as_owner "$PGBIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null
  echo "$port"
  ;;
stop)
  [ -d "$dir/data" ] && as_owner "$PGBIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
halt)
  as_owner "$PGBIN/pg_ctl" -D "$dir/data" -m "${3:-fast}" -w -t 60 stop >/dev/null
  ;;
startagain)
  as_owner "$PGBIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null
  sed -n 's/^port = //p' "$dir/data/postgresql.conf" | tail -1
  ;;
*) echo "usage: $0 start DIR ssl|plain | stop DIR | halt DIR [fast|immediate] | startagain DIR" >&2; exit 2 ;;
esac
