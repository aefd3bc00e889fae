#!/usr/bin/env python3
"""Runs quorvane-feed (under Wine) against the local feed server and on
fixture files; checks the JSON lines, the debug lines and the exit codes.

    feed_tool_test.py WINE_RUN TOOL     (QUORVANE_FEED_SERVER must be set)
"""
import json
import os
import subprocess
import sys
import time
import urllib.request

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

# Atom: every rule of an entry; relative links resolve against the feed's
# address, and stay as written for a file.
atom = [{k: g[k] for k in ("link", "title", "description", "feedTitle")} for g in records(run(base + "/feeds/atom.xml"))]
expected = [
    [base + "/posts/1?x=1#c", "Relative link", "Plain summary one."],
    ["http://example.org/posts/2", "Escaped title", "Xhtml body text."],
    ["", "<No Title>", "Feed not readable"],
    ["http://cdn.example.org/4", "<No Title>", "Empty title, protocol-relative link."],
    [base + "/abs/5", "", "Plain text content."],
    ["", "Last", "Last entry."],
]
check(f"Atom records: {atom!r}",
      atom == [dict(link=l, title=t, description=d, feedTitle="Harbour Notes & more") for l, t, d in expected])
atom_file = records(run("--file", os.path.join(fixtures, "atom.xml")))
check("Atom file keeps relative links", [g["link"] for g in atom_file][:5:2] == ["../posts/1?x=1#c", "", "/abs/5"])
mixed = records(run(base + "/feeds/rss-with-atom.xml"))
check(f"RSS with Atom elements stays RSS: {mixed!r}",
      [(g["link"], g["title"], g["description"], g["feedTitle"]) for g in mixed]
      == [("http://example.org/rss-link", "RSS item", "The RSS description.", "Mixed channel")])

# Failed feeds: the debug lines as they happen (the feeds download side by
# side), then one line per feed, in the order given, with its URL and why;
# exit 1 as soon as one failed.
bad = [base + "/reset-mid-body", "http://127.0.0.1:1/x"]
r = run(*bad)
lines = r.stderr.decode("utf-8").splitlines()
check(f"failures exit 1: {r.returncode} {r.stdout!r}", r.returncode == 1 and r.stdout == b"")
check(f"debug lines on stderr: {lines!r}",
      sorted(lines[:2]) == ["InternetConnectA failed", "InternetReadFile failed"])
reasons = [line for line in lines if line.startswith("quorvane-feed: ")]
check(f"a reason per failed feed: {reasons!r}",
      len(reasons) == 2 and all(line.startswith("quorvane-feed: %s: " % url) and len(line) > len(url) + 17
                                for line, url in zip(reasons, bad)))

# --status: one outcome per feed instead of the records.
r = run("--status", base + "/feeds/rss2.xml", "http://127.0.0.1:1/x", base + "/feeds/atom.xml")
status = [json.loads(line) for line in r.stdout.decode("utf-8").splitlines()]
check("status exits 1 with a failed feed", r.returncode == 1)
check(f"status lines: {status!r}", [(s["url"], s["state"]) for s in status] == [
    (base + "/feeds/rss2.xml", "ok"), ("http://127.0.0.1:1/x", "failed"), (base + "/feeds/atom.xml", "ok")])
if len(status) == 3:
    check("status of a read feed", status[0]["headlines"] == 3 and status[0]["reason"] == ""
          and status[0]["feedTitle"] == "Quorvane & Friends" and status[0]["lastSuccess"].endswith("Z"))
    check("status of a failed feed", status[1]["headlines"] == 0 and status[1]["reason"] != ""
          and status[1]["lastSuccess"] is None)
r = run("--status", base + "/feeds/atom.xml")
check("all read: exit 0", r.returncode == 0 and json.loads(r.stdout)["headlines"] == 6)

# The tool asks as the gadget does and names what the servers answered.
r = run("--status", base + "/validated/rss2.xml", base + "/validated/atom.xml?prefer=deflate", base + "/gzip-bomb",
        base + "/status?code=429&retry-after=120", base + "/status?code=503", base + "/status?code=410",
        base + "/moved?code=308")
status = [json.loads(line) for line in r.stdout.decode("utf-8").splitlines()]
check(f"answers: {status!r}", [(s["http"], s["reason"][:16]) for s in status] == [
    (200, ""), (200, ""), (200, "larger than 8 MB"), (429, "rate limited unt"), (503, "unavailable unti"),
    (410, "gone (HTTP 410)"), (200, "moved permanentl")])
if len(status) == 7:
    check("validators as received", status[0]["etag"].startswith('"v-') and status[0]["etag"].endswith('"')
          and status[0]["lastModified"] == "Tue, 03 Nov 2026 08:49:37 GMT" and status[0]["headlines"] == 3)
    check("deflate read", status[1]["headlines"] == 6)
    check("moved to", status[6]["reason"] == "moved permanently to " + base + "/feeds/rss2.xml")
direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))
asked = [json.loads(line) for line in direct.open(base + "/requests").read().decode().splitlines()]
check("every request names the tool", all(a["headers"].get("User-Agent", "").startswith("QuorvaneRSS/") for a in asked))
check("the bomb was asked gzipped", any(a["path"] == "/gzip-bomb" and "gzip" in a["headers"].get("Accept-Encoding", "")
                                        for a in asked))

# A feed that never ends is cut at the (shortened) bound; the next is read.
start = time.monotonic()
r = run("--timeout", "2", base + "/drip?s=1", base + "/feeds/rss2.xml")
elapsed = time.monotonic() - start
got = records(r)
check(f"the feed after a trickle is read: {len(got)} records", len(got) == 3)
check(f"the trickle ends within the bound: {elapsed:.1f} s", elapsed < 20)
check(f"timed-out line names the URL: {r.stderr!r}", (base + "/drip?s=1: timed out\n").encode() in r.stderr)

for args, named in (([], b""), (["--file"], b"--file"), (["--timeout"], b"--timeout"),
                    (["--timeout", "0", base + "/feeds/rss2.xml"], b"--timeout"),
                    (["--verbose", base + "/feeds/rss2.xml"], b"--verbose"), ([base + "/feeds/rss2.xml", "-x"], b"-x")):
    r = run(*args)
    check(f"usage {args!r} exits 2", r.returncode == 2 and r.stdout == b"" and b"usage" in r.stderr)
    check(f"{args!r} names what is wrong: {r.stderr!r}", named in r.stderr.split(b"\n")[0])
for args in (["--help"], ["-h"], ["-h", base + "/feeds/rss2.xml"]):
    r = run(*args)
    check(f"{args!r} prints the usage and fetches nothing: {r.stdout!r}",
          r.returncode == 0 and r.stdout.startswith(b"usage: quorvane-feed [") and not r.stderr)
r = run("--file", os.path.join(fixtures, "no-such-file.xml"))
check("unreadable file exits 1", r.returncode == 1)

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
