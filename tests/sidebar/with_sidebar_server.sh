#!/usr/bin/env bash
# Runs a command with sidebar_server.py up: QUORVANE_SIDEBAR_SERVER holds
# its base URL. The server stops when the command ends.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
portfile=$(mktemp -u)
python3 "$here/sidebar_server.py" --port-file "$portfile" >/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$portfile"' EXIT
for _ in $(seq 100); do
  [ -s "$portfile" ] && break
  sleep 0.05
done
[ -s "$portfile" ] || { echo "sidebar server did not start" >&2; exit 1; }
export QUORVANE_SIDEBAR_SERVER="http://127.0.0.1:$(cat "$portfile")"
"$@"
