#!/usr/bin/env python3
"""CPU cost of typing: the sidebar typing the sample feeds at full speed
(30 ms a character, no wait between screens) against bench_bare_typing.exe,
a bare Win32 window whose 30 ms timer invalidates one character cell and
repaints it with one TextOut. Both run under Wine with the same prefix;
the cost is the program's CPU time plus that of the prefix's wineserver,
over the same stretch of time once typing runs. The sidebar runs without
the test harness's options (whose ticks would be measured too) and is
ended once measured.

    bench/typing_cost_bench.py [BUILD_DIR] [SECONDS] [ROUNDS]   (default build/windows, 20, 3)

The two run in turns, ROUNDS times each, so that a change in the machine's
load falls on both. Prints both figures of each round as a percentage of one
core, and the ratio of their medians (the goal is 1.25 or less).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import feed_server  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "windows")
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
ROUNDS = int(sys.argv[3]) if len(sys.argv) > 3 else 3
WARM_UP = 6.0  # start-up and the first download are not typing
SAMPLES = ["lindmere-harbour-gazette.xml", "vallbruna-noticias.xml", "circuit-weekly.xml"]
TICK = os.sysconf("SC_CLK_TCK")
ENV = dict(os.environ, QUORVANE_BUILD_DIR=BUILD)


def win(path):
    return "Z:" + path.replace("/", "\\")


def cpu_seconds(pid):
    """utime + stime of a process, in seconds."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def wineserver_pid():
    """The wineserver of the build's prefix: its working directory is the
    server directory named after the prefix's device and inode."""
    prefix = os.environ.get("WINEPREFIX", os.path.join(BUILD, "wineprefix"))
    info = os.stat(prefix)
    name = "server-%x-%x" % (info.st_dev, info.st_ino)
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if os.path.basename(os.readlink("/proc/%s/cwd" % entry)) == name:
                with open("/proc/%s/comm" % entry) as f:
                    if f.read().startswith("wineserver"):
                        return int(entry)
        except OSError:
            continue
    return None


def measure(command, end=False):
    """CPU of the program and of the wineserver over SECONDS, after WARM_UP.
    With `end` the program is ended afterwards; otherwise it ends itself."""
    process = subprocess.Popen(command, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(WARM_UP)
        server = wineserver_pid()
        if server is None or process.poll() is not None:
            raise SystemExit("typing_cost_bench: no program or wineserver to measure")
        program0, server0, start = cpu_seconds(process.pid), cpu_seconds(server), time.time()
        time.sleep(SECONDS)
        program1, server1, elapsed = cpu_seconds(process.pid), cpu_seconds(server), time.time() - start
        return (program1 - program0) / elapsed * 100, (server1 - server0) / elapsed * 100
    finally:
        if end:
            process.terminate()
        process.wait(timeout=SECONDS + WARM_UP + 60)


def main():
    run = os.path.join(ROOT, "scripts", "wine-run")
    total = WARM_UP + SECONDS + 3
    subprocess.run([run, "cmd", "/c", "exit"], env=ENV, check=True, stdout=subprocess.DEVNULL)
    costs = {"sidebar typing": [], "bare TextOut": []}
    with feed_server.serving() as base:
        for _ in range(ROUNDS):
            state = os.path.join(tempfile.mkdtemp(prefix="typing-cost-"), "state")
            rounds = (("sidebar typing", measure([run, os.path.join(BUILD, "src", "sidebar", "QuorvaneSidebar.exe"),
                                                  "--only-quorvane", "--state", win(state), "--speed", "10",
                                                  "--delay-seconds", "0", "--feeds",
                                                  *[base + "/samples/" + name for name in SAMPLES]], end=True)),
                      ("bare TextOut", measure([run, os.path.join(BUILD, "bench", "bench_bare_typing.exe"),
                                                str(int(total))])))
            for name, (program, server) in rounds:
                costs[name].append(program + server)
                print("%-15s %5.2f %% of a core (program %5.2f %%, wineserver %5.2f %%)"
                      % (name, program + server, program, server), flush=True)
    sidebar, bare = statistics.median(costs["sidebar typing"]), statistics.median(costs["bare TextOut"])
    print("medians         sidebar %.2f %%, bare %.2f %% of a core" % (sidebar, bare))
    print("ratio           %5.2f (goal: 1.25 or less)" % (sidebar / bare))


if __name__ == "__main__":
    main()
