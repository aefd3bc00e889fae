#!/usr/bin/env python3
"""Bytes received for 10 unchanged feeds over 5 cycles of the feed fetcher
(under Wine), against the local feed server, which counts every byte it
sends (status line and headers included):

  - before: the server ignores validators and Accept-Encoding (plain=1), so
    every cycle downloads every feed whole, as a client that sends neither;
  - after: the server answers as a real one does: gzip when asked, 304 to
    an exact validator.

Once for small feeds (2 KB) and once for ordinary ones (30 KB).

    bench/feed_courtesy_bench.py [BUILD_DIR]      (default build/windows)
"""
import json
import os
import subprocess
import sys
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
BENCH = os.path.join(BUILD, "bench", "bench_feed_courtesy.exe")
FEEDS, CYCLES = 10, 5
PATH = "/validated/sized.xml"
direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))


def run(base, kilobytes, plain):
    """Bytes sent in the first cycle and in the four after it."""
    before = len(direct.open(base + "/requests?path=" + PATH).read().splitlines())
    urls = ["%s%s?kb=%d&feed=%d%s" % (base, PATH, kilobytes, i, "&plain=1" if plain else "") for i in range(FEEDS)]
    total = before + FEEDS * CYCLES
    subprocess.run([WINE_RUN, BENCH, str(total), PATH, *urls], check=True, timeout=300,
                   env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD, QUORVANE_FEED_SERVER=base))
    asked = [json.loads(line) for line in direct.open(base + "/requests?path=" + PATH).read().decode().splitlines()]
    asked = asked[before:before + FEEDS * CYCLES]
    first = sum(a["sent"] for a in asked[:FEEDS])
    later = sum(a["sent"] for a in asked[FEEDS:])
    return first, later


def main():
    with feed_server.serving() as base:
        for kilobytes in (2, 30):
            plain_first, plain_later = run(base, kilobytes, True)
            first, later = run(base, kilobytes, False)
            print("%d feeds of %d KB, %d cycles: before %d bytes (first cycle %d, later cycles %d); "
                  "after %d bytes (first cycle %d, later cycles %d); later cycles %.1f %% less, all cycles %.1f %% less"
                  % (FEEDS, kilobytes, CYCLES, plain_first + plain_later, plain_first, plain_later, first + later, first,
                     later, 100.0 * (1 - later / plain_later), 100.0 * (1 - (first + later) / (plain_first + plain_later))))


if __name__ == "__main__":
    main()
