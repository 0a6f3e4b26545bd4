#!/usr/bin/python3
"""The lanes' objects, the files built for AVX2 and FMA, define nothing but their own entry
points. An inline function of another header emitted there too would be built for AVX2, and the
linker may keep that copy for every caller, which then stops with an illegal instruction on a
processor without it.   lanes_symbols.py OBJECT...   (the flow library's objects)"""

import subprocess
import sys

ENTRIES = {
    "fan_lanes": ("velhorn::flow::fansInLanes(", "velhorn::flow::statesInLanes(", "velhorn::flow::machsInLanes("),
    "shock_lanes": ("velhorn::flow::shocksInLanes(",),
}

for stem, entries in ENTRIES.items():
    lanes = [o for o in sys.argv[1:] if o.endswith((f"/{stem}.cpp.o", f"/{stem}.cpp.obj"))]
    if len(lanes) != 1:
        sys.exit(f"expected one {stem} object among {sys.argv[1:]}")
    listed = subprocess.run(["nm", "-C", "--defined-only", "--extern-only", lanes[0]], capture_output=True,
                            text=True, check=True).stdout
    names = [line.split(" ", 2)[2] for line in listed.splitlines() if line.strip()]
    others = [name for name in names if not name.startswith(entries)]
    if others or len(names) != len(entries):
        sys.exit(f"{stem} defines " + "; ".join(names))
    print(f"{stem} defines only " + ", ".join(e.rstrip("(") for e in entries))
