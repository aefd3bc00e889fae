#!/usr/bin/env python3
"""Fails when a file under src/ includes a header of a higher layer.

The layers, lowest first: win (and interfaces, the type library), text,
feeds, settings, gadget, host, sidebar. A file may include its own layer and
those below it. Usage: layer_includes_test.py SOURCE_DIR
"""
import pathlib
import re
import sys

RANK = {"win": 0, "interfaces": 0, "text": 1, "feeds": 2, "settings": 3, "gadget": 4, "host": 5, "sidebar": 6}
INCLUDE = re.compile(r'^\s*#\s*include\s+"(?:\.\./)*([A-Za-z_]+)/[^"]*"', re.MULTILINE)


def upward_includes(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".c", ".rc", ".in") or not path.is_file():
            continue
        layer = path.relative_to(src).parts[0]
        if layer not in RANK:
            yield f"{path.relative_to(src)}: folder {layer}/ is in no layer"
            continue
        for match in INCLUDE.finditer(path.read_text(encoding="utf-8", errors="replace")):
            target = match.group(1)
            if target in RANK and RANK[target] > RANK[layer]:
                line = match.string.count("\n", 0, match.start()) + 1
                yield f"{path.relative_to(src)}:{line}: {layer}/ includes {match.group(0).strip()} of the higher layer {target}/"


def main():
    problems = list(upward_includes(pathlib.Path(sys.argv[1]) / "src"))
    for problem in problems:
        print(problem)
    print(f"{len(problems)} upward include(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
