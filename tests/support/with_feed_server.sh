#!/usr/bin/env bash
# Runs a command with the local feed server up (feed_server.py):
# QUORVANE_FEED_SERVER holds its base URL. The server stops when the
# command ends; the command's status is the wrapper's.
exec python3 "$(cd "$(dirname "$0")" && pwd)/feed_server.py" -- "$@"
