#!/usr/bin/env python3
"""The feed engine against servers that accept and never answer:

  - quorvane-feed --timeout 10 with 20 such feeds and a good one last: the
    time until it ends and whether it printed the good feed's headlines;
  - the sidebar with 50 such feeds and a good one last: the time until the
    good feed's headline shows (a capture every second);
  - the fetcher after 30 list changes 0.5 s apart during such stalls: the
    process's threads, and how long its threads take to end afterwards;
  - the sidebar with 3,000 feeds (imported from OPML; each answers 404) and
    the "Feed status" window open while their outcomes come in: the slowest
    answer of the sidebar's window to its one-second probe.

    bench/feed_engine_bench.py [BUILD_DIR]      (default build/windows)
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
sys.path.insert(0, os.path.join(ROOT, "bench"))
import feed_server  # noqa: E402
from first_headline_bench import title_strip, win  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
ENV = dict(os.environ, QUORVANE_BUILD_DIR=BUILD)


def stalled(base, count, tag):
    return ["%s/silent?s=300&%s=%d" % (base, tag, i) for i in range(count)]


def tool(base):
    feeds = stalled(base, 20, "tool") + [base + "/feeds/rss2.xml"]
    started = time.time()
    done = subprocess.run([WINE_RUN, os.path.join(BUILD, "src", "feeds", "tools", "quorvane-feed.exe"), "--timeout", "10",
                           *feeds], env=ENV, capture_output=True, timeout=300)
    took = time.time() - started
    records = done.stdout.decode("utf-8", "replace").count("First headline")
    print("quorvane-feed --timeout 10, 20 stalled + 1 good: ended after %.1f s, good feed's first headline printed: %s"
          % (took, "yes" if records else "no"))


def sidebar(base):
    work = tempfile.mkdtemp(prefix="feed-engine-")
    steps = "; ".join("capture %s; wait 1000" % win(os.path.join(work, "shot-%03d.bmp" % i)) for i in range(75))
    feeds = stalled(base, 50, "sidebar") + [base + "/feeds/rss2.xml"]
    launched = time.time()
    subprocess.run([WINE_RUN, os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebarHarness.exe"), "--only-quorvane",
                    "--state", win(os.path.join(work, "state")), "--script", steps + "; exit", "--feeds", *feeds],
                   env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    shots = sorted(glob.glob(os.path.join(work, "shot-*.bmp")))
    shown = next((shot for shot in shots[1:] if title_strip(shot) != title_strip(shots[0])), None) if shots else None
    if shown is None:
        print("sidebar, 50 stalled + 1 good: no headline within %d s of the window" % len(shots))
    else:
        print("sidebar, 50 stalled + 1 good: first headline %.1f s after launch, %.1f s after the window was up"
              % (os.path.getmtime(shown) - launched, os.path.getmtime(shown) - os.path.getmtime(shots[0])))
    shutil.rmtree(work, ignore_errors=True)


def threads(base):
    done = subprocess.run([WINE_RUN, os.path.join(BUILD, "bench", "bench_feed_threads.exe"), base], env=ENV,
                          capture_output=True, timeout=300)
    sys.stdout.write(done.stdout.decode())


def status_window(base):
    work = tempfile.mkdtemp(prefix="feed-status-")
    opml = os.path.join(work, "feeds.opml")
    with open(opml, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?><opml version="2.0"><head/><body>\n')
        for i in range(3000):
            f.write('<outline text="f%d" xmlUrl="%s/missing?n=%d"/>\n' % (i, base, i))
        f.write("</body></opml>\n")
    sidebar_exe = os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebarHarness.exe")
    state = win(os.path.join(work, "state"))
    subprocess.run([WINE_RUN, sidebar_exe, "--only-quorvane", "--state", state, "--import-opml", win(opml)], env=ENV,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    stats = os.path.join(work, "stats.txt")
    subprocess.run([WINE_RUN, sidebar_exe, "--only-quorvane", "--state", state, "--stats", win(stats),
                    "--stats-every", "5", "--script", "wait 2000; menu Feed status; wait 40000; exit"], env=ENV,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    with open(stats) as f:
        lines = f.read().splitlines()
    # Columns: seconds, handles, GDI, USER, threads, private KB, worst probe ms since the line before, ...
    worst = [int(line.split()[6]) for line in lines if line[:1].isdigit()]
    print("sidebar, 3,000 feeds, Feed status open: worst probe answer per 5 s: %s ms; %s"
          % (" ".join(map(str, worst)), next((line[2:] for line in lines if line.startswith("#")), "")))
    shutil.rmtree(work, ignore_errors=True)


def main():
    with feed_server.serving() as base:
        tool(base)
        threads(base)
        sidebar(base)
        status_window(base)


if __name__ == "__main__":
    main()
