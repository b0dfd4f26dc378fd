#!/usr/bin/env python3
"""Checks the source tree's layers and writes their dependency graph.

Each folder of the library has a rank; a file may include headers of its own
folder and of folders ranked below it only. tool/ stands above the library,
cli/ and python/ above tool/. Outside platform/ nothing calls the operating
system directly: the library's folders include no system header of files or
processes, and tool/ reads, writes and lists files through platform::Env.

  check-layers.py ROOT               fail (exit 1) on an include that points
                                     the wrong way, a direct call of the
                                     system, or a graph in
                                     docs/architecture.md other than the
                                     tree's
  check-layers.py ROOT --write-docs  put the tree's graph into the docs
"""
import os
import re
import sys

# Lowest first. A folder may include itself and any folder before it.
LIBRARY = ["platform", "common", "directory", "datafile", "module", "selection"]
ABOVE = {
    "tool": LIBRARY + ["tool"],
    "cli": LIBRARY + ["tool", "cli"],
    "python": LIBRARY + ["tool", "python"],
}
FOLDERS = LIBRARY + list(ABOVE)
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z]+)/')
SOURCE = (".h", ".cc")

# Direct ways to the operating system that only platform/ may take.
LIBRARY_SYSTEM = re.compile(
    r'#\s*include\s*<(unistd\.h|fcntl\.h|dirent\.h|sys/[a-z]+\.h|fstream|filesystem)>'
    r'|\b(fopen|getenv|mkstemp|mkostemp)\s*\(')
TOOL_SYSTEM = re.compile(
    r'#\s*include\s*<(fstream|unistd\.h|fcntl\.h|dirent\.h)>'
    r'|std::[io]?fstream\b|\b(getenv|mkdtemp|mkstemp|fopen|fsync|unlink)\s*\('
    r'|/proc/self'
    r'|(std::filesystem|\bfs)::(?!path\b)\w+')
# Programs run at build time, not part of the tool.
TOOL_EXEMPT = {"tool/text/make_han_keys.cc"}

BEGIN = "<!-- layers: made by scripts/check-layers.py --write-docs -->"
END = "<!-- end of layers -->"


def allowed(folder):
    if folder in ABOVE:
        return ABOVE[folder]
    return LIBRARY[: LIBRARY.index(folder) + 1]


def sources(root, folder):
    for base, _, names in os.walk(os.path.join(root, folder)):
        for name in sorted(names):
            if name.endswith(SOURCE):
                path = os.path.join(base, name)
                yield os.path.relpath(path, root)


def scan(root):
    edges = {f: set() for f in FOLDERS}
    faults = []
    for folder in FOLDERS:
        for path in sources(root, folder):
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                lines = f.read().split("\n")
            for number, line in enumerate(lines, 1):
                m = INCLUDE.match(line)
                if m and m.group(1) in FOLDERS and m.group(1) != folder:
                    edges[folder].add(m.group(1))
                    if m.group(1) not in allowed(folder):
                        faults.append(f"{path}:{number}: {folder}/ includes {m.group(1)}/, "
                                      f"which is above it")
                code = line.split("//")[0]
                if folder in LIBRARY and folder != "platform" and LIBRARY_SYSTEM.search(code):
                    faults.append(f"{path}:{number}: calls the operating system outside "
                                  f"platform/: {line.strip()}")
                if folder == "tool" and path not in TOOL_EXEMPT and TOOL_SYSTEM.search(code):
                    faults.append(f"{path}:{number}: reaches the operating system other than "
                                  f"through platform::Env: {line.strip()}")
    return edges, faults


def graph(edges):
    order = ["python", "cli", "tool"] + LIBRARY[::-1]
    lines = ["```", "folder      includes (as the sources do today)"]
    for folder in order:
        below = [f for f in order if f in edges[folder]]
        lines.append(f"{folder + '/':<11} " + (", ".join(f + "/" for f in below) or "-"))
    lines.append("```")
    return "\n".join(lines)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    write = "--write-docs" in sys.argv
    edges, faults = scan(root)
    docs = os.path.join(root, "docs", "architecture.md")
    with open(docs, encoding="utf-8") as f:
        text = f.read()
    block = BEGIN + "\n" + graph(edges) + "\n" + END
    start, end = text.find(BEGIN), text.find(END)
    if start < 0 or end < 0:
        faults.append(f"docs/architecture.md has no graph between {BEGIN} and {END}")
    elif text[start:end + len(END)] != block:
        if write:
            with open(docs, "w", encoding="utf-8") as f:
                f.write(text[:start] + block + text[end + len(END):])
        else:
            faults.append("docs/architecture.md shows another dependency graph than the "
                          "sources: run scripts/check-layers.py . --write-docs")
    for fault in faults:
        print(fault, file=sys.stderr)
    if not faults:
        print(graph(edges))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
