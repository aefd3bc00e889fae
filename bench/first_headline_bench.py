#!/usr/bin/env python3
"""Time to the first headline in the sidebar, with five local feeds: once with
the first feed stalling (headers, then silence), once with none stalling.

    bench/first_headline_bench.py [BUILD_DIR]      (default build/windows)

The sidebar captures its panel every 50 ms; the first headline is the first
capture whose title bar differs from the "Connecting" screen. Prints the
time from the sidebar's launch and from its first capture (the window up).
"""
import glob
import os
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")
FEEDS = ["/feeds/rss2.xml", "/feeds/rss10.rdf", "/feeds/rss091.xml", "/feeds/title-in-item.xml", "/feeds/escaped.xml"]


def win(path):
    return "Z:" + path.replace("/", "\\")


def title_strip(path, rows=14):
    """The pixels of the top rows of a BMP capture (the gadget's title bar)."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bpp, = struct.unpack_from("<H", data, 28)
    stride = (width * bpp // 8 + 3) // 4 * 4
    top = [abs(height) - 1 - r if height > 0 else r for r in range(rows)]
    return b"".join(data[offset + y * stride: offset + (y + 1) * stride] for y in top)


def run(base, feeds):
    work = tempfile.mkdtemp(prefix="first-headline-")
    steps = "; ".join("capture %s; wait 50" % win(os.path.join(work, "shot-%03d.bmp" % i)) for i in range(80))
    command = [os.path.join(ROOT, "scripts", "wine-run"), os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebarHarness.exe"),
               "--only-quorvane", "--state", win(os.path.join(work, "state")), "--script", steps + "; exit",
               "--feeds", *[base + feed for feed in feeds]]
    launched = time.time()
    subprocess.run(command, env=dict(os.environ, QUORVANE_BUILD_DIR=BUILD), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120, check=True)
    shots = sorted(glob.glob(os.path.join(work, "shot-*.bmp")))
    if not shots:
        return None
    connecting = title_strip(shots[0])
    for shot in shots[1:]:
        if title_strip(shot) != connecting:
            return os.path.getmtime(shot) - launched, os.path.getmtime(shot) - os.path.getmtime(shots[0]), shot
    return None


def main():
    with feed_server.serving() as base:
        for label, feeds in (("first feed stalling", ["/stall-after-headers?s=60"] + FEEDS[1:]), ("no stall", FEEDS)):
            result = run(base, feeds)
            if result is None:
                print("%-20s no headline within 4 s of the window" % label)
            else:
                print("%-20s first headline %.2f s after launch, %.2f s after the window was up  (%s)"
                      % (label, result[0], result[1], result[2]))


if __name__ == "__main__":
    main()
