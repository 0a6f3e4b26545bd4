#!/usr/bin/python3
"""The fan lanes' object, the one file built for AVX2 and FMA, defines nothing but its own entry
points. An inline function of another header emitted there too would be built for AVX2, and the
linker may keep that copy for every caller, which then stops with an illegal instruction on a
processor without it.   lanes_symbols.py OBJECT...   (the flow library's objects)"""

import subprocess
import sys

ENTRIES = ("velhorn::flow::fansInLanes(", "velhorn::flow::statesInLanes(", "velhorn::flow::machsInLanes(")

lanes = [o for o in sys.argv[1:] if o.endswith(("fan_lanes.cpp.o", "fan_lanes.cpp.obj"))]
if len(lanes) != 1:
    sys.exit(f"expected one fan_lanes object among {sys.argv[1:]}")
listed = subprocess.run(["nm", "-C", "--defined-only", "--extern-only", lanes[0]], capture_output=True, text=True,
                        check=True).stdout
names = [line.split(" ", 2)[2] for line in listed.splitlines() if line.strip()]
others = [name for name in names if not name.startswith(ENTRIES)]
if others or len(names) != len(ENTRIES):
    sys.exit("fan_lanes defines " + "; ".join(names))
print("fan_lanes defines only " + ", ".join(e.rstrip("(") for e in ENTRIES))
