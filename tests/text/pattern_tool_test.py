#!/usr/bin/env python3
"""Runs quorvane-pattern and checks a few outputs of each command."""
import subprocess
import sys

tool = sys.argv[1]
failures = []


def run(args, stdin=b""):
    return subprocess.run([tool] + args, input=stdin, capture_output=True, timeout=60)


def expect(args, stdout, stdin=b"", code=0):
    r = run(args, stdin)
    if r.returncode != code or r.stdout != stdout:
        failures.append(f"{args!r}: exit {r.returncode}, got {r.stdout!r}, want {stdout!r}")


expect(["compile", "a?"], b"0\n0 Branch 2\n1 NextStart 0\n2 SaveSlot 0\n3 StorePositionInSlot 0\n"
       b"4 SavePosition 0\n5 Branch 9\n6 RestorePosition 0\n7 RestoreSlot 0\n8 Jump 12\n"
       b"9 MatchChar 97\n10 FailIfNoProgress 0\n11 StorePositionInSlot 0\n12 Accept 0\n")
expect(["compile", "-i", "^A"], b"0\n0 Branch 2\n1 StopSearch 0\n2 MatchChar 97\n3 Accept 0\n")
expect(["compile", "[z-a]"], b"8\n")
expect(["compile", "--", "-i"], b"0\n0 Branch 2\n1 NextStart 0\n2 MatchChar 45\n3 MatchChar 105\n4 Accept 0\n")
expect(["match", "{a}{b}\\1", "xabb"], b"1 4\n1 2\n2 3\n")
expect(["match", "-i", "abc", "xABC"], b"1 4\n")
expect(["match", "b*$", "a"], b"nomatch\n")
expect(["match", "(a", "a"], b"error 3\n")
# UTF-16 offsets: U+1F600 is two code units; invalid UTF-8 becomes U+FFFD.
expect(["match", "x", "\U0001F600x"], b"2 3\n")
r = subprocess.run([tool, "match", "\ufffd".encode(), b"a\xffb"], capture_output=True, timeout=60)
if r.stdout != b"1 2\n":
    failures.append(f"invalid UTF-8 argument: got {r.stdout!r}")
expect(["replace", "-g", " +", " ", "a  b   c"], b"0\na b c\n")
expect(["replace", "-e", "{a}{b}", "$2$1", "xaby"], b"0\nxbay\n")
expect(["replace", "-g", "-+", "-", "a--b"], b"0\na-b\n")
expect(["replace", "q", "x", "abc"], b"3\nabc\n")
expect(["replace", "[", "x", "abc"], b"2\nabc\n")
expect(["clean"], "Read now \u2014 caf\u00e9".encode(), stdin="Read <a href=x>more</a> now \u2014 caf\u00e9".encode())
expect(["clean"], b"a\xef\xbf\xbdb", stdin=b"a\xc3b")
expect(["clean"], b"", stdin=b"")
for bad in ([], ["compile"], ["match", "a"], ["replace", "a", "b"], ["frobnicate"], ["clean", "x"]):
    r = run(bad)
    if r.returncode != 2 or b"usage" not in r.stderr or r.stdout:
        failures.append(f"bad usage {bad!r}: exit {r.returncode}")
r = run(["frobnicate"])
if b"unknown command frobnicate" not in r.stderr:
    failures.append(f"an unknown command is not named: {r.stderr!r}")
r = run(["--help"])
if r.returncode != 0 or not r.stdout.startswith(b"usage: quorvane-pattern") or r.stderr:
    failures.append(f"--help: exit {r.returncode}, {r.stdout!r}")

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
