#!/usr/bin/env bash
# Former name of tests/support/with_feed_server.sh; also sets the former
# variable QUORVANE_SIDEBAR_SERVER.
exec "$(dirname "$0")/../support/with_feed_server.sh" \
  bash -c 'QUORVANE_SIDEBAR_SERVER=$QUORVANE_FEED_SERVER exec "$@"' with_sidebar_server "$@"
