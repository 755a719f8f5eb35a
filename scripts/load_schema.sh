#!/usr/bin/env bash
# Loads the catalog and the company schema into a running cluster:
#   load_schema.sh PORT ZELTO_PASSWORD [demo]
# Creates the role "zelto", the catalog database "zelto_mob" and the template database
# "company_template" (tables and the two server functions); with "demo", also the demo company
# "zelto_demo" with its data.
set -euo pipefail
port=$1 password=$2 demo=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
psql=(psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U postgres)

"${psql[@]}" -d postgres -v pw="$password" <<'SQL'
SELECT format('CREATE ROLE zelto LOGIN PASSWORD %L', :'pw') \gexec
CREATE DATABASE zelto_mob;
CREATE DATABASE company_template;
SQL
"${psql[@]}" -d zelto_mob -f "$root/db/catalog.sql"
"${psql[@]}" -d company_template -f "$root/db/company.sql" -f "$root/db/demo/functions.sql"
if [ "$demo" = demo ]; then
  "${psql[@]}" -d postgres -c "CREATE DATABASE zelto_demo TEMPLATE company_template"
  "${psql[@]}" -d zelto_demo -v port="$port" -f "$root/db/demo/data.sql"
  "${psql[@]}" -d zelto_mob -v port="$port" -f "$root/db/demo/catalog_data.sql"
fi
