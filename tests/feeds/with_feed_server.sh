#!/usr/bin/env bash
# Runs a command with the local feed server up: QUORVANE_FEED_SERVER holds
# its base URL. The server is stopped when the command ends.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
portfile=$(mktemp)
rm -f "$portfile"
python3 "$here/feed_server.py" --port-file "$portfile" >/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$portfile"' EXIT
for _ in $(seq 100); do
  [ -s "$portfile" ] && break
  sleep 0.05
done
if [ ! -s "$portfile" ]; then
  echo "feed server did not start" >&2
  exit 1
fi
export QUORVANE_FEED_SERVER="http://127.0.0.1:$(cat "$portfile")"
"$@"
