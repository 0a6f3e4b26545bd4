#!/usr/bin/python3
"""velhorn-cli run as a user runs it: each format read back, each exit status, a batch with bad
lines among good ones, and a reader that goes away early. Usage: cli_test.py VELHORN_CLI"""

import csv
import io
import json
import subprocess
import threading

from harness import CLI, check, finish, run


def records(fmt, text):
    if fmt == "json":
        return [{k: float(v) for k, v in r.items()} for r in json.loads(text)]
    rows = list(csv.DictReader(io.StringIO(text), delimiter="\t" if fmt == "tsv" else ","))
    return [{k: float(v) for k, v in r.items()} for r in rows]


# Each program format carries the same doubles; the table shows them rounded.
solved = {fmt: run("--format", fmt, "solve", "--M1", "2", "--theta", "10") for fmt in ("csv", "tsv", "json")}
read = {fmt: records(fmt, r.stdout) for fmt, r in solved.items()}
check(all(r.returncode == 0 and r.stderr == "" for r in solved.values()), "solve exits 0 in csv, tsv and json")
check(read["csv"] == read["tsv"] == read["json"] and len(read["csv"]) == 1, "csv, tsv and json read back to the same doubles")
fan = read["csv"][0]
check((round(fan["M2"], 3), round(fan["p2_p1"], 3), round(fan["T2_T1"], 3)) == (2.385, 0.548, 0.842),
      f"M1 = 2 and theta = 10 give what the window shows: {fan['M2']}, {fan['p2_p1']}, {fan['T2_T1']}")
table = dict(line.split() for line in run("--digits", "4", "solve", "--M1", "2", "--theta", "10").stdout.splitlines())
check(table["M2"] == "2.385" and table["nu_max_deg"] == "130.5", f"the table rounds to --digits: {table['M2']}, {table['nu_max_deg']}")
back = records("csv", run("--format", "csv", "solve", "--M2", repr(fan["M2"]), "--nu1", repr(fan["nu1_deg"])).stdout)[0]
check(abs(back["theta_deg"] - 10) < 1e-12 and back["M1"] == 2, f"M2 and nu1 give theta back: {back['theta_deg']}")

# Exit statuses, and one line on standard error for each refusal.
refusals = [
    (1, ["solve", "--M1", "2", "--theta", "150"], "theta must be from -26.3798 up to but not including 104.074"),
    (1, ["solve", "--M1", "0.5", "--theta", "1"], "M1 = 0.5 is subsonic"),
    (1, ["table", "--nu", "0", "140", "10"], "nu must be from 0 up to but not including 130.454"),
    (2, ["solve", "--M1", "2,5", "--theta", "1"], "not a number"),
    (2, ["--gas", "xenon", "solve", "--M1", "2", "--theta", "1"], "unknown gas 'xenon'"),
    (2, ["--gamma", "0.9", "solve", "--M1", "2", "--theta", "1"], "gamma must be a finite number above 1"),
    (2, ["--gas", "", "solve", "--M1", "2", "--theta", "1"], "--gas: the name is empty"),
    (2, ["--gamma", "", "solve", "--M1", "2", "--theta", "1"], "--gamma: '' is not a number"),
    (2, ["solve", "--M1", "+-2", "--theta", "1"], "--M1: '+-2' is not a number"),
    (1, ["solve", "--mu1", "1e-310", "--theta", "0"], "mu1 = 1e-310 makes M1 = 1/sin(mu1) overflow the largest double"),
    (2, ["solve", "--M1", "2"], "give exactly two"),
    (2, ["solve", "--M1", "2", "--colour", "red"], "colour"),
    (2, ["frobnicate"], "frobnicate"),
    (2, [], "give a command: solve, table, batch, shock, corners and body"),
    (2, ["--digits", "3"], "give a command"),
]
for status, args, reason in refusals:
    r = run(*args)
    check(r.returncode == status and r.stdout == "" and r.stderr.count("\n") == 1 and reason in r.stderr,
          f"{' '.join(args)} -> {r.returncode}: {r.stderr.strip()}")

# A chain is its corners taken together.
chain = records("csv", run("--format", "csv", "--gas", "argon", "solve", "--M1", "1.5", "--theta", "5,5", "--theta", "5").stdout)
check([(r["from_state"], r["to_state"]) for r in chain] == [(1, 2), (2, 3), (3, 4), (1, 4)], "a chain's records run 1-2, 2-3, 3-4, then 1-4")
check(abs(chain[0]["p2_p1"] * chain[1]["p2_p1"] * chain[2]["p2_p1"] / chain[3]["p2_p1"] - 1) < 1e-14 and chain[3]["gamma"] == 5 / 3,
      "the chain's pressure ratio is its corners' product, for argon")

# A batch with bad lines among good ones: every good line gets its record, in order.
batch = "# cases\nM1,theta,gamma\n2,10,1.4\n2,abc,1.4\n\n3,200,1.4\n1.5,5,1.0\n2,10,1.2\n"
r = run("--format", "json", "batch", "-", stdin=batch)
rows = json.loads(r.stdout)
errors = r.stderr.splitlines()
check(r.returncode == 1, f"a batch with failed lines exits 1: {r.returncode}")
check([row["line"] for row in rows] == [3, 8] and rows[1]["gamma"] == 1.2, "good lines keep their records, in order, each with its gas")
check([e.split(":")[1].strip() for e in errors] == ["line 4", "line 6", "line 7"] and "no M2 gives theta = 200" in errors[1],
      f"each bad line is named with its reason: {errors}")
# In the command's own gas, whose fans from M1 and theta are solved together: the same order.
r = run("--format", "csv", "batch", "-", stdin="M1,theta\n2,10\nx,1\n3,200\n2.5,5\n0.5,3\n2,0\n")
check([row["line"] for row in records("csv", r.stdout)] == [2, 5, 7], f"good lines keep their records, in order: {r.stdout}")
check([e.split(":")[1].strip() for e in r.stderr.splitlines()] == ["line 3", "line 4", "line 6"],
      f"each bad line is named in order: {r.stderr}")
check(run("batch", stdin="theta\n5\n").returncode == 2, "a header that names no case is a usage error")

# Nothing printed is ever NaN or infinite, even at the ends of the double range.
extremes = run("--format", "csv", "batch", stdin="M1,M2\n1,1\n1,1e300\n1e-300,2\n1.0000000000000002,1e154\n")
check("nan" not in extremes.stdout.lower() and "inf" not in extremes.stdout.lower(), f"no NaN or infinity among {len(extremes.stdout.splitlines())} lines")

# A reader that goes away early ends the program quietly; a full disk is reported, with status 2.
# Both for rows written one by one (a table) and for a batch's chunks written whole.
cases = "M1,theta\n" + "2,10\n" * 200000


def feed(process, text):
    try:
        process.stdin.write(text.encode())
        process.stdin.close()
    except BrokenPipeError:
        pass  # the program has ended, as it should


for what, argv, given in (("table", ["table", "--M", "1", "1000", "0.00001"], None), ("batch", ["batch", "-"], cases)):
    reader = subprocess.Popen([CLI, "--format", "csv", *argv], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE)
    if given:
        threading.Thread(target=feed, args=(reader, given), daemon=True).start()
    else:
        reader.stdin.close()
    reader.stdout.readline()
    reader.stdout.close()
    reader.wait(timeout=60)
    check(reader.stderr.read() == b"", f"{what}: output to a closed pipe ends quietly (status {reader.returncode})")
    with open("/dev/full", "w") as full:
        r = subprocess.run([CLI, "--format", "csv", *argv], input=given or "", stdout=full, stderr=subprocess.PIPE,
                           text=True, timeout=60)
    check(r.returncode == 2 and "cannot write the results" in r.stderr, f"{what}: a full disk is named: {r.returncode} {r.stderr!r}")

finish()
