#!/usr/bin/env bash
# Former name of tests/support/with_feed_server.sh.
exec "$(dirname "$0")/../support/with_feed_server.sh" "$@"
