#!/usr/bin/env bash
# Derives the folder dependency graph from the engine's #include "folder/..."
# lines, prints it, and fails on an include that reaches a level above its
# own folder's in layering.txt (the order the build also enforces), on a
# relative include that climbs out of its folder, on an engine folder missing
# from layering.txt, and on a host tool that includes engine headers.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exec python3 - "$root" <<'PY'
import os, re, sys

root = sys.argv[1]
levels = []
with open(os.path.join(root, "layering.txt")) as f:
    for line in f:
        line = line.split("#", 1)[0].split()
        if line:
            levels.append(line)
level_of = {d: i for i, names in enumerate(levels) for d in names}
outside = {"tests", "tools", "bench", "include", "docs", "cmake", "scripts", "data", "build", "build-san", "fuzz", "build-fuzz"}
include_re = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
problems = []
edges = {d: {} for d in level_of}  # folder -> {folder it includes: first file}

def sources(folder):
    for dirpath, _, names in os.walk(os.path.join(root, folder)):
        for name in sorted(names):
            if name.endswith((".h", ".cpp", ".inc")):
                yield os.path.join(dirpath, name)

for entry in sorted(os.listdir(root)):
    path = os.path.join(root, entry)
    if entry.startswith(".") or entry in outside or entry.startswith("build") or not os.path.isdir(path):
        continue
    if entry not in level_of and any(True for _ in sources(entry)):
        problems.append(f"{entry}/: engine sources in a folder layering.txt does not place")

for folder in level_of:
    for path in sources(folder):
        rel = os.path.relpath(path, root)
        with open(path, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = include_re.match(line)
                if not m:
                    continue
                target = m.group(1)
                if target.startswith("../") or "/../" in target:
                    problems.append(f"{rel}:{number}: relative include climbs out: {target}")
                    continue
                top = target.split("/", 1)[0] if "/" in target else None
                if top is None or top == folder:
                    continue
                if top not in level_of:
                    if os.path.isdir(os.path.join(root, top)):
                        problems.append(f"{rel}:{number}: includes {target} from an undeclared folder")
                    continue
                edges[folder].setdefault(top, f"{rel}:{number}")
                if level_of[top] > level_of[folder]:
                    problems.append(f"{rel}:{number}: {folder} (level {level_of[folder]}) includes {target} "
                                    f"(level {level_of[top]})")

tools = os.path.join(root, "tools")
if os.path.isdir(tools):
    for dirpath, _, names in os.walk(tools):
        for name in sorted(names):
            path = os.path.join(dirpath, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = include_re.match(line)
                    if m and m.group(1).split("/", 1)[0] in level_of and "/" in m.group(1):
                        problems.append(f"{os.path.relpath(path, root)}:{number}: the host tools use only "
                                        f"paloran.h, not {m.group(1)}")

for i, names in enumerate(levels):
    for folder in names:
        below = sorted(edges[folder], key=lambda d: (level_of[d], d))
        print(f"{i} {folder:<9} -> {' '.join(below) if below else '(nothing)'}")
if problems:
    print("\nlayering broken:", file=sys.stderr)
    for p in problems:
        print("  " + p, file=sys.stderr)
    sys.exit(1)
print("layering ok")
PY
