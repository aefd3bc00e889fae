#!/usr/bin/env python3
"""Peak memory of one feed through the worker's step: 1 MB and just under
8 MB (the body cap), in items of about 40 bytes (the most records per byte)
and of about 1 KB; and a 346 KB feed whose 256 KB channel title would be
copied into each of its 2,000 tiny items (the goal: under 64 MB). Each feed runs in a process of its own under Wine; the
peak resident set is the kernel's (wait4), less that of a run on a tiny feed.

    bench/feed_memory_bench.py [BUILD_DIR]      (default build/windows)
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")


def peak_mb(url):
    command = [os.path.join(ROOT, "scripts", "wine-run"), os.path.join(BUILD, "bench", "bench_feed_memory.exe"), url]
    process = subprocess.Popen(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD), stdout=subprocess.PIPE)
    output = process.stdout.read().decode(errors="replace")
    _, _, usage = os.wait4(process.pid, 0)
    process.returncode = 0
    lines = output.strip().splitlines()
    return usage.ru_maxrss / 1024, lines[-1].strip() if lines else "(no output)"


def main():
    with feed_server.serving() as base:
        baseline, _ = peak_mb(base + "/feeds/rss2.xml")
        print("process without a feed: %.0f MB peak resident" % baseline)
        for label, path in (("1 MB, 40-byte items", "/large?mb=1&small=1"),
                            ("8 MB, 40-byte items", "/large?mb=7.99&small=1"),
                            ("1 MB, 1 KB items", "/large?mb=1"), ("8 MB, 1 KB items", "/large?mb=7.99"),
                            ("256 KB title, 2000 items", "/long-title?kb=256&items=2000")):
            peak, detail = peak_mb(base + path)
            print("%-25s %4.0f MB for the feed (peak %4.0f MB)   %s" % (label, peak - baseline, peak, detail.split(",")[0]))


if __name__ == "__main__":
    main()
