#!/usr/bin/env python3
"""Rewrites every project include to its path from the repository root.

Usage: scripts/include-root.py [--check] [FILE...]
Without files, every C++ source and header under the repository is handled.
--check changes nothing and exits 1 when an include would change.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
INCLUDE = re.compile(r'^(\s*#\s*include\s+)"([^"]+)"(.*)$')
EXTENSIONS = (".h", ".hpp", ".cpp", ".cc", ".c")


def project_files():
    out = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard"],
                         cwd=ROOT, capture_output=True, text=True, check=True).stdout
    return [f for f in out.splitlines() if f.endswith(EXTENSIONS) and os.path.exists(os.path.join(ROOT, f))]


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    files = project_files()
    by_name = {}
    for f in files:
        by_name.setdefault(os.path.basename(f), []).append(f)
    known = set(files)
    targets = [os.path.relpath(os.path.abspath(a), ROOT) for a in args] if args else files
    changed, unresolved = [], []
    for rel in targets:
        path = os.path.join(ROOT, rel)
        with open(path, encoding="utf-8", errors="surrogateescape") as fh:
            lines = fh.read().split("\n")
        here = os.path.dirname(rel)
        dirty = False
        for i, line in enumerate(lines):
            m = INCLUDE.match(line)
            if not m:
                continue
            name = m.group(2)
            if name.endswith(".moc") or name.startswith(("ui_", "moc_")):
                continue
            if name in known:
                continue
            local = os.path.normpath(os.path.join(here, name))
            if local in known:
                target = local
            else:
                found = [f for f in by_name.get(os.path.basename(name), []) if f.endswith("/" + name) or f == name]
                if not found:
                    found = by_name.get(os.path.basename(name), [])
                if len(found) != 1:
                    unresolved.append(f"{rel}:{i + 1}: {name} ({len(found)} candidates)")
                    continue
                target = found[0]
            lines[i] = f'{m.group(1)}"{target}"{m.group(3)}'
            dirty = True
        if dirty:
            changed.append(rel)
            if not check:
                with open(path, "w", encoding="utf-8", errors="surrogateescape") as fh:
                    fh.write("\n".join(lines))
    for u in unresolved:
        print("unresolved:", u, file=sys.stderr)
    for c in changed:
        print(("would change: " if check else "changed: ") + c)
    return 1 if (check and changed) or unresolved else 0


if __name__ == "__main__":
    sys.exit(main())
