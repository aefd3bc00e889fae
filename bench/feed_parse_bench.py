#!/usr/bin/env python3
"""Parse time of the feed shapes that cost an XML parser time out of
proportion to their length, at 1 MB and 8 MB (just under the body cap):
`quorvane-feed --status --file` on each, one process per file, less the time
of a run on a tiny feed. Prints each shape's wall-clock and CPU time (the
CPU time is the steadier figure on a loaded machine) and its outcome.

    bench/feed_parse_bench.py [BUILD_DIR] [SHAPE...]   (default build/windows, every shape)
"""
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")
CHOSEN = sys.argv[2:] or list(feed_server.SHAPES)
LIMIT_S = 120


def run(path):
    """Wall-clock and CPU seconds the tool took on the file, and the outcome it printed."""
    command = [os.path.join(ROOT, "scripts", "wine-run"),
               os.path.join(BUILD, "src", "feeds", "tools", "quorvane-feed.exe"), "--status", "--file",
               "Z:" + path.replace("/", "\\")]
    start = time.monotonic()
    process = subprocess.Popen(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD), stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    timer = threading.Timer(LIMIT_S, process.kill)
    timer.start()
    output = process.stdout.read().decode(errors="replace")
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = status
    timer.cancel()
    seconds = time.monotonic() - start
    if seconds >= LIMIT_S:
        return None, None, "did not end"
    try:
        outcome = json.loads(output.splitlines()[-1])
        said = "%s, %d headlines%s" % (outcome["state"], outcome["headlines"],
                                       ", " + outcome["reason"] if outcome["reason"] else "")
    except (IndexError, KeyError, ValueError):
        said = "(no outcome)"
    return seconds, usage.ru_utime + usage.ru_stime, said


def main():
    with tempfile.TemporaryDirectory() as folder:
        def write(name, data):
            path = os.path.join(folder, name)
            with open(path, "wb") as f:
                f.write(data)
            return path

        tiny = write("tiny.xml", feed_server.shape_feed("inline-markup", 200))
        run(tiny)  # the prefix and wineserver up
        runs = [run(tiny) for _ in range(3)]
        wall, cpu = min(r[0] for r in runs), min(r[1] for r in runs)
        print("a tiny feed: %.2f s per run, %.2f s CPU (subtracted below)" % (wall, cpu))
        for shape in CHOSEN:
            for megabytes in (1, 7.99):
                path = write("%s.xml" % shape, feed_server.shape_feed(shape, int(megabytes * 1024 * 1024)))
                seconds, used, outcome = run(path)
                took = ("> %d s" % LIMIT_S if seconds is None else
                        "%6.2f s (%5.2f s CPU)" % (max(0.0, seconds - wall), max(0.0, used - cpu)))
                print("%-14s %2.0f MB  %s   %s" % (shape, megabytes, took, outcome), flush=True)


if __name__ == "__main__":
    main()
