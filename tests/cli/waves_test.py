#!/usr/bin/python3
"""velhorn-cli's shock, corners and body as a user runs them: formats read back, refusals in one
line naming what works, a shock batch with bad lines among good ones, and the SVG drawing read
back as XML. Usage: waves_test.py VELHORN_CLI"""

import csv
import io
import json
import os
import tempfile
import xml.etree.ElementTree as ElementTree

from harness import CLI, check, finish, run


def rows(text):
    return list(csv.DictReader(io.StringIO(text)))


# One shock in each program format: the same doubles.
shock = {fmt: run("--format", fmt, "shock", "--M1", "2", "--theta", "10") for fmt in ("csv", "tsv", "json")}
read = {"csv": rows(shock["csv"].stdout)[0], "tsv": list(csv.DictReader(io.StringIO(shock["tsv"].stdout), delimiter="\t"))[0],
        "json": json.loads(shock["json"].stdout)[0]}
values = {fmt: {k: float(v) for k, v in r.items()} for fmt, r in read.items()}
check(values["csv"] == values["tsv"] == values["json"], "csv, tsv and json carry the same shock")
# NACA Report 1135, Charts 2 and 4: M1 = 2, theta = 10 gives beta 39.3 and M2 1.64.
check(round(values["csv"]["beta_deg"], 1) == 39.3 and round(values["csv"]["M2"], 2) == 1.64, f"M1 = 2, theta = 10: {values['csv']['beta_deg']}")
strong = rows(run("--format", "csv", "shock", "--M1", "2", "--theta", "10", "--strong").stdout)[0]
check(float(strong["strong"]) == 1 and float(strong["M2"]) < 1, "--strong gives the subsonic branch")
back = rows(run("--format", "csv", "shock", "--M1", "2", "--beta", strong["beta_deg"]).stdout)[0]
check(abs(float(back["theta_deg"]) - 10) < 1e-12, f"its beta gives theta back: {back['theta_deg']}")

refusals = [
    (1, ["shock", "--M1", "3", "--theta", "40"], "theta_max = 34.0734"),
    (1, ["shock", "--M1", "0.9", "--theta", "4"], "M1 = 0.9 is subsonic"),
    (1, ["shock", "--M1", "2", "--beta", "20"], "beta must be from the Mach angle 30 to 90"),
    (1, ["shock", "--M1", "2", "--theta", "-3"], "velhorn-cli solve"),
    (1, ["corners", "--M1", "3", "--theta", "10,-40"], "corner 2: theta = 40 is beyond theta_max"),
    (1, ["corners", "--M1", "3", "--theta", "100"], "vacuum"),
    (1, ["body", "--shape", "plate", "--M", "3", "--alpha", "40"], "alpha must be from -34.0734 to 34.0734"),
    (1, ["body", "--shape", "wedge", "--half-angle", "30", "--M", "2", "--alpha", "0"], "M_inf must be at least"),
    (2, ["body", "--shape", "diamond", "--M", "2", "--alpha", "0"], "needs --thickness"),
    (2, ["body", "--shape", "diamond", "--thickness", "1.5", "--M", "2", "--alpha", "0"], "below 1"),
    (2, ["body", "--shape", "plate", "--M", "2", "3", "0.5", "--alpha", "0", "4", "1"], "not both"),
    (2, ["shock", "--M1", "2"], "one of --theta and --beta"),
]
for status, args, reason in refusals:
    r = run(*args)
    check(r.returncode == status and r.stdout == "" and r.stderr.count("\n") == 1 and reason in r.stderr,
          f"{' '.join(args)} -> {r.returncode}: {r.stderr.strip()}")

# solve keeps a negative theta as an isentropic compression, with no shock.
solved = rows(run("--format", "csv", "solve", "--M1", "3", "--theta", "-10").stdout)[0]
check(float(solved["M2"]) < 3 and float(solved["p2_p1"]) > 1, "solve's negative theta is still a compression fan")

# A shock batch: good lines keep their records in order, each bad line is named.
r = run("--format", "csv", "shock", "--batch", "-", stdin="M1,theta\n2,10\n2,x\n3,40\n\n0.5,1\n4,20\n")
good, errors = rows(r.stdout), r.stderr.splitlines()
check(r.returncode == 1 and [int(g["line"]) for g in good] == [2, 7], f"good lines keep their records: {[g['line'] for g in good]}")
check([e.split(":")[1].strip() for e in errors] == ["line 3", "line 4", "line 6"], f"bad lines named: {errors}")
check(run("shock", "--batch", "-", stdin="M1,nu\n2,3\n").returncode == 2, "a header without theta or beta is a usage error")
# A number typed in its shortest form comes back as typed; typed otherwise, as it reads.
echoed = rows(run("--format", "csv", "shock", "--batch", "-", stdin="M1,theta\n2.50,1e1\n2.5,10\n").stdout)
check([{k: v for k, v in e.items() if k != "line"} for e in echoed][0] == {k: v for k, v in echoed[1].items() if k != "line"}
      and echoed[1]["M1"] == "2.5" and echoed[1]["theta_deg"] == "10", f"typed texts: {echoed}")
# Many bad lines, their reasons held and written in chunks: every one named once, in order, none lost.
lines = "".join(f"2,{i % 20}\n" if i % 3 else f"3,{40 + i % 7}\n" for i in range(3000))
r = run("--format", "csv", "shock", "--batch", "-", stdin="M1,theta\n" + lines)
named = [int(e.split(":")[1].split()[1]) for e in r.stderr.splitlines()]
check(named == [i + 2 for i in range(3000) if i % 3 == 0] and len(rows(r.stdout)) == 2000,
      f"a long batch names each bad line once, in order: {len(named)} named, {len(rows(r.stdout))} solved")
# Solved many at once, each record is its own line's: the same as where a gamma column has each
# line solved alone; with lines that do not read among them.
mixed = [line if i % 50 else "2,x" for i, line in enumerate(lines.splitlines())]
many = run("--format", "csv", "shock", "--batch", "-", stdin="M1,theta\n" + "".join(f"{line}\n" for line in mixed))
alone = run("--format", "csv", "shock", "--batch", "-", stdin="M1,theta,gamma\n" + "".join(f"{line},1.4\n" for line in mixed))
check(many.stdout == alone.stdout and many.stderr == alone.stderr and len(rows(many.stdout)) > 1900,
      "a batch of one gas gives each line's own shock")

# Corners: the overall record is the product of the waves, total pressure lost only at the shock.
corners = rows(run("--format", "csv", "corners", "--M1", "3", "--theta", "10,-5,8").stdout)
check([c["wave"] for c in corners] == ["fan", "shock", "fan", "overall"], "corners: fan, shock, fan, overall")
product = float(corners[0]["p2_p1"]) * float(corners[1]["p2_p1"]) * float(corners[2]["p2_p1"])
check(abs(product / float(corners[3]["p2_p1"]) - 1) < 1e-14 and float(corners[3]["p02_p01"]) == float(corners[1]["p02_p01"]),
      "the overall pressure ratio is the waves' product; the total pressure falls at the shock alone")
isentropic = rows(run("--format", "csv", "corners", "--M1", "3", "--theta", "-5", "--compression", "isentropic").stdout)
check(isentropic[0]["wave"] == "compression" and float(isentropic[0]["p02_p01"]) == 1, "--compression isentropic keeps p0")

# A body: a sweep gives one record a value; per facet, one record a facet; both in every format.
sweep = json.loads(run("--format", "json", "body", "--shape", "biconvex", "--thickness", "0.06", "--facets", "20", "--M", "2.5",
                       "--alpha", "0", "10", "0.5").stdout)
check(len(sweep) == 21 and sweep[0]["cl"] == 0 and sweep[0]["cm_le"] == 0 and all(b["cl"] > a["cl"] for a, b in zip(sweep, sweep[1:])),
      "a sweep of alpha: 21 records, lift and moment nought at no incidence, lift rising")
facets = rows(run("--format", "csv", "body", "--shape", "diamond", "--thickness", "0.1", "--M", "2", "--alpha", "2",
                  "--per-facet").stdout)
check([(f["surface"], f["wave"]) for f in facets] == [("upper", "shock"), ("upper", "fan"), ("lower", "shock"), ("lower", "fan")],
      "a diamond's facets: shock then fan on each surface")
with tempfile.TemporaryDirectory() as scratch:
    outline = os.path.join(scratch, "wedge.csv")
    with open(outline, "w") as f:
        f.write("x,y\n0,0\n2,0.2\n2,-0.2\n")
    picture = os.path.join(scratch, "wedge.svg")
    r = run("--format", "csv", "body", "--shape", "polygon", "--points", outline, "--M", "3", "--alpha", "0", "--svg", picture)
    polygon = rows(r.stdout)[0]
    wedge = rows(run("--format", "csv", "body", "--shape", "wedge", "--half-angle", "5.710593137499643", "--M", "3", "--alpha", "0").stdout)[0]
    check(r.returncode == 0 and abs(float(polygon["cd"]) - float(wedge["cd"])) < 1e-13, "a polygon read from CSV is the same wedge")
    svg = ElementTree.parse(picture).getroot()
    lines = [e for e in svg.iter() if e.tag.endswith("line")]
    shocks = [e for e in lines if e.get("stroke") == "#c0392b" and e.get("x1") != "10"]
    check(svg.tag.endswith("svg") and len(shocks) == 2, f"the SVG reads back as XML, with the wedge's two shocks: {len(shocks)}")
    r = run("corners", "--M1", "2", "--theta", "5,-5", "--svg", picture)
    check(r.returncode == 0 and ElementTree.parse(picture).getroot().tag.endswith("svg"), "corners draw too")

finish()
