#!/usr/bin/env python3
"""Audits the syncs of a traced command: every file renamed into place was
fsynced first (under this name or one it was renamed from), and the folder
of every rename's target was fsynced after it.

  strace -f -qq -e trace=openat,fsync,fdatasync,rename,renameat,renameat2 \\
      -o TRACE metdb --db db.bmt compact
  audit-syncs.py TRACE...

Prints, per trace, the file fsyncs, folder fsyncs and renames, and "ok" or
the renames that break the rule; exits 1 when any does.
"""
import os
import re
import sys

OPEN = re.compile(r'openat\(AT_FDCWD, "([^"]+)", ([^)]*?)\)\s*= (\d+)')
SYNC = re.compile(r'\bf(?:data)?sync\((\d+)\)\s*= 0')
RENAME = re.compile(r'rename(?:at2?)?\((?:AT_FDCWD, )?"([^"]+)", (?:AT_FDCWD, )?"([^"]+)"')


def audit(path):
    handles = {}  # descriptor -> (absolute name, is a folder)
    synced = set()  # files whose content is durable, by their current name
    unsynced_folders = []  # rename targets whose folder is not synced yet
    counts = {"file fsyncs": 0, "folder fsyncs": 0, "renames": 0}
    faults = []
    with open(path) as trace:
        for line in trace:
            m = OPEN.search(line)
            if m:
                handles[m.group(3)] = (os.path.abspath(m.group(1)), "O_DIRECTORY" in m.group(2))
                continue
            m = SYNC.search(line)
            if m and m.group(1) in handles:
                name, folder = handles[m.group(1)]
                if folder:
                    counts["folder fsyncs"] += 1
                    unsynced_folders = [t for t in unsynced_folders if os.path.dirname(t) != name]
                else:
                    counts["file fsyncs"] += 1
                    synced.add(name)
                continue
            m = RENAME.search(line)
            if m and line.rstrip().endswith("= 0"):
                counts["renames"] += 1
                source, target = os.path.abspath(m.group(1)), os.path.abspath(m.group(2))
                if source not in synced:
                    faults.append("renamed without a sync: " + m.group(1))
                synced.discard(target)
                if source in synced:
                    synced.discard(source)
                    synced.add(target)
                unsynced_folders.append(target)
    faults += ["no folder sync after the rename to " + t for t in unsynced_folders]
    return counts, faults


def main(traces):
    failed = False
    for path in traces:
        counts, faults = audit(path)
        figures = "  ".join("%s %d" % (k, v) for k, v in counts.items())
        print("%s: %s  %s" % (path, figures, "ok" if not faults else "; ".join(faults)))
        failed = failed or bool(faults)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
