#!/usr/bin/env python3
"""Time of `QuorvaneSidebar.exe --import-opml` on an OPML file of 60,000
outlines (about 3 MB, under the 4 MB cap) into an empty list, less the time
of the same run on a file of one outline (start-up, the gadget, saving).

    bench/opml_import_bench.py [BUILD_DIR] [OUTLINES]   (default build/windows, 60000)
"""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")
OUTLINES = int(sys.argv[2]) if len(sys.argv) > 2 else 60000


def win(path):
    return "Z:" + path.replace("/", "\\")


def opml(count):
    outlines = "".join('<outline text="F%d" xmlUrl="http://f.example/%d.xml"/>\n' % (i, i) for i in range(count))
    return '<?xml version="1.0"?>\n<opml version="2.0"><head><title>Many</title></head><body>\n%s</body></opml>\n' % outlines


def import_seconds(folder, count):
    path = os.path.join(folder, "feeds-%d.opml" % count)
    with open(path, "w") as f:
        f.write(opml(count))
    state = os.path.join(folder, "state-%d.dat" % count)
    if os.path.exists(state):
        os.remove(state)
    command = [os.path.join(ROOT, "scripts", "wine-run"), os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe"),
               "--only-quorvane", "--state", win(state), "--import-opml", win(path)]
    start = time.monotonic()
    done = subprocess.run(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD), capture_output=True, timeout=600)
    seconds = time.monotonic() - start
    return seconds, os.path.getsize(path), (done.stdout + done.stderr).decode("utf-8", errors="replace").strip()


def main():
    with tempfile.TemporaryDirectory() as folder:
        import_seconds(folder, 1)  # the prefix and wineserver up
        baseline, _, _ = import_seconds(folder, 1)
        seconds, size, said = import_seconds(folder, OUTLINES)
        print("one outline: %.2f s per run (subtracted below)" % baseline)
        print("%d outlines (%.1f MB): %.2f s   %s" % (OUTLINES, size / 1048576, seconds - baseline, said))


if __name__ == "__main__":
    main()
