#!/usr/bin/env python3
"""Runs quorvane-feed (under Wine) against the local feed server and on
fixture files; checks the JSON lines, the debug lines and the exit codes.

    feed_tool_test.py WINE_RUN TOOL     (QUORVANE_FEED_SERVER must be set)
"""
import json
import os
import subprocess
import sys

wine_run, tool = sys.argv[1], sys.argv[2]
base = os.environ["QUORVANE_FEED_SERVER"]
fixtures = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
failures = []


def check(what, condition):
    if not condition:
        failures.append(what)


def run(*args):
    return subprocess.run([wine_run, tool, *args], capture_output=True, timeout=120)


def records(result):
    lines = result.stdout.decode("utf-8").split("\n")
    check("output ends with a line feed", lines[-1] == "")
    return [json.loads(line) for line in lines[:-1]]



r = run(base + "/feeds/rss2.xml", base + "/feeds/rss091.xml", base + "/feeds/rss10.rdf")
got = records(r)
check("three feeds exit 0", r.returncode == 0)
check("record count", len(got) == 6)
if len(got) == 6:
    check("keys in record order", list(got[0]) == ["link", "title", "description", "feedTitle", "timeStamp"])
    check("RSS 2.0 first record", got[0]["link"] == "http://example.org/1?a=1&b=2"
          and got[0]["title"] == "First headline" and got[0]["feedTitle"] == "Quorvane & Friends")
    check("RSS 2.0 non-ASCII", got[2]["description"] == "Third story, caf\u00e9 \u20ac.")
    check("RSS 0.91", got[3]["title"] == "Ol\u00e9 headline")
    check("RSS 1.0", [g["title"] for g in got[4:]] == ["RDF one", "RDF two"])

# Files decode as downloads do; non-ASCII text comes out as UTF-8.
r = run("--file", os.path.join(fixtures, "koi8r.xml"), "--file", os.path.join(fixtures, "utf16be.xml"))
got = records(r)
check("files exit 0", r.returncode == 0)
check("KOI8-R file", len(got) == 2 and got[0]["title"] == "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440")
check("UTF-16 file", len(got) == 2 and got[1]["title"] == "\u00dcber \U0001F600")

r = run(base + "/reset-mid-body", "http://127.0.0.1:1/x")
check(f"failures exit 0: {r.returncode} {r.stdout!r}", r.returncode == 0 and r.stdout == b"")
check(f"debug lines on stderr: {r.stderr!r}",
      r.stderr == b"InternetReadFile failed\nInternetConnectA failed\n")

for args, named in (([], b""), (["--file"], b"--file"), (["--verbose", base + "/feeds/rss2.xml"], b"--verbose"),
                    ([base + "/feeds/rss2.xml", "-x"], b"-x")):
    r = run(*args)
    check(f"usage {args!r} exits 2", r.returncode == 2 and r.stdout == b"" and b"usage" in r.stderr)
    check(f"{args!r} names what is wrong: {r.stderr!r}", named in r.stderr.split(b"\n")[0])
for args in (["--help"], ["-h"], ["-h", base + "/feeds/rss2.xml"]):
    r = run(*args)
    check(f"{args!r} prints the usage and fetches nothing: {r.stdout!r}",
          r.returncode == 0 and r.stdout.startswith(b"usage: quorvane-feed [URL | --file PATH]...") and not r.stderr)
r = run("--file", os.path.join(fixtures, "no-such-file.xml"))
check("unreadable file exits 1", r.returncode == 1)

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
