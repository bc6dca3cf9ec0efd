#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, from Debian's postgresql package.
#   test-server.sh start STATE_DIR   makes a cluster in a new temporary folder, starts it on a Unix
#                                    socket of that folder (no TCP port), and writes the connection
#                                    string into STATE_DIR/conninfo
#   test-server.sh stop STATE_DIR    stops the server and removes its folder
#   test-server.sh restart STATE_DIR stops the server at once, as a crash would, and starts it again
#                                    on the same folder and socket
# PostgreSQL refuses to run as root: run as root, the server runs as the user `nobody`.
set -euo pipefail
action=${1:?start, stop or restart}
state=${2:?the state folder}
mkdir -p "$state"

initdb=$(ls -d /usr/lib/postgresql/*/bin/initdb 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$initdb" ]; then
  echo "PostgreSQL is not installed (Debian package postgresql): bash scripts/deps.sh installs it" >&2
  exit 1
fi
bin=$(dirname "$initdb")
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  as_server=(runuser -u nobody --)
fi

stop() {
  [ -f "$state/folder" ] || return 0
  local folder
  folder=$(cat "$state/folder")
  if [ -d "$folder/data" ]; then
    "${as_server[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  rm -f "$state/folder" "$state/conninfo"
}

case "$action" in
start)
  stop # what an interrupted run left
  folder=$(mktemp -d /tmp/zajavki-pg.XXXXXX)
  echo "$folder" > "$state/folder"
  chmod 755 "$folder"
  [ ${#as_server[@]} -eq 0 ] || chown nobody "$folder"
  "${as_server[@]}" "$bin/initdb" -D "$folder/data" --username=zajavki_test --auth=trust \
    --encoding=UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1 ||
    { cat "$folder/initdb.log" >&2; exit 1; }
  # The members of zajavki_password log in with a password (the tests of the password prompt); every
  # other role is trusted.
  "${as_server[@]}" sed -i '1i local all +zajavki_password scram-sha-256' "$folder/data/pg_hba.conf"
  "${as_server[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
    -o "-c listen_addresses='' -k $folder -p 5432 -c fsync=off" start >/dev/null ||
    { cat "$folder/server.log" >&2; exit 1; }
  echo "host=$folder port=5432 user=zajavki_test dbname=postgres" > "$state/conninfo"
  echo "PostgreSQL for the tests: $(cat "$state/conninfo")"
  ;;
stop)
  stop
  ;;
restart)
  folder=$(cat "$state/folder")
  "${as_server[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null
  "${as_server[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
    -o "-c listen_addresses='' -k $folder -p 5432 -c fsync=off" start >/dev/null ||
    { cat "$folder/server.log" >&2; exit 1; }
  ;;
*)
  echo "start, stop or restart" >&2
  exit 2
  ;;
esac
