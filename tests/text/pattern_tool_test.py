#!/usr/bin/env python3
"""Runs quorvane-pattern and checks a few outputs of each command, and
compares its cleanup of generated character references with Python's
html.unescape."""
import html
import html.entities
import pathlib
import random
import re
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
expect(["compile", "[z-a]"], b"8\n", code=1)
expect(["compile", "--", "-i"], b"0\n0 Branch 2\n1 NextStart 0\n2 MatchChar 45\n3 MatchChar 105\n4 Accept 0\n")
expect(["match", "{a}{b}\\1", "xabb"], b"1 4\n1 2\n2 3\n")
expect(["match", "-i", "abc", "xABC"], b"1 4\n")
expect(["match", "b*$", "a"], b"nomatch\n")
expect(["match", "(a", "a"], b"error 3\n", code=1)
# UTF-16 offsets: U+1F600 is two code units; invalid UTF-8 becomes U+FFFD.
expect(["match", "x", "\U0001F600x"], b"2 3\n")
r = subprocess.run([tool, "match", "\ufffd".encode(), b"a\xffb"], capture_output=True, timeout=60)
if r.stdout != b"1 2\n":
    failures.append(f"invalid UTF-8 argument: got {r.stdout!r}")
expect(["replace", "-g", " +", " ", "a  b   c"], b"0\na b c\n")
expect(["replace", "-e", "{a}{b}", "$2$1", "xaby"], b"0\nxbay\n")
expect(["replace", "-g", "-+", "-", "a--b"], b"0\na-b\n")
expect(["replace", "q", "x", "abc"], b"3\nabc\n")
expect(["replace", "[", "x", "abc"], b"2\nabc\n", code=1)
expect(["clean"], "Read more now \u2014 caf\u00e9".encode(), stdin="Read <a href=x>more</a> now \u2014 caf\u00e9".encode())
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



def after_references(text):
    """What the cleanup does after decoding, for text without tags."""
    for search, insert in (("\r", " "), ("&#13;", " "), ("&#x0D;", " "), ("\n", " "),
                           ("\b", " "), ("\t", " "), ("&#09;", " "), ("&#x09;", " ")):
        text = text.replace(search, insert)
    for pattern, insert in ((" +", " "), ("-+", "-"), ("( -)+", " -"), (",+", ",")):
        text = re.sub(pattern, insert, text)
    return text.rstrip(" -").lstrip(" -")


# Strings of references, names, digits and separators. Those that contain
# tags, "|" or a literal of the table's rows before the decoding (which
# decode some references differently) are left out.
table = (pathlib.Path(__file__).resolve().parents[2] / "src/text/EntityTable.h").read_text()
early = re.findall(r'\{u"(&[^"]*)", u"', table)[:37] + ["<", "|"]
rng = random.Random(21)
names = sorted(html.entities.html5)
pieces = ["&", "#", "x", "X", ";", "a", "0", "9", "F", " ", "\u00e9", "\U0001F600", "&amp"]
numbers = [0, 9, 10, 13, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xD7FF, 0xD800, 0xDFFF, 0xFDD0, 0xFFFE,
           0xFFFF, 0x10000, 0x1FFFE, 0x10FFFD, 0x10FFFF, 0x110000, 10**30]
inputs = []
while len(inputs) < 400:
    parts = []
    for _ in range(rng.randint(1, 6)):
        r = rng.random()
        if r < 0.35:
            name = rng.choice(names)
            parts.append("&" + (name if rng.random() < 0.7 else name.rstrip(";")))
        elif r < 0.6:
            n = rng.choice(numbers) if rng.random() < 0.5 else rng.randrange(0x110000)
            form = rng.choice(["&#%d", "&#x%x", "&#X%X", "&#%d;", "&#x%X;", "&#00%d;"])
            parts.append(form % n)
        else:
            parts.append(rng.choice(pieces))
    text = "".join(parts)
    if any(e in text for e in early):
        continue
    inputs.append(text)


def differs(text):
    r = run(["clean"], text.encode("utf-8"))
    want = after_references(html.unescape(text)).encode("utf-8")
    return (r.returncode, r.stdout) != (0, want) and f"clean {text!r}: got {r.stdout!r}, want {want!r}"


# All in one run (a space ends every reference); one by one to name a difference.
if differs(" ~ ".join(inputs)):
    failures += [d for d in map(differs, inputs) if d][:5] or ["the joined inputs differ"]

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
