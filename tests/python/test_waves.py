"""Shocks, corners and bodies from the Python module against velhorn-cli: the same columns, the
same bits, the same reasons, NaN on request."""

import os
import subprocess

import numpy as np
import pytest

import velhorn

CLI = os.environ["VELHORN_CLI"]


def cli_csv(*args, stdin=None):
    """Header and rows of velhorn-cli's CSV, an empty field as NaN, a word as itself."""
    run = subprocess.run([CLI, "--format", "csv", *args], input=stdin, capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    header, *lines = run.stdout.strip().splitlines()

    def cell(text):
        try:
            return float(text) if text else float("nan")
        except ValueError:
            return text
    return header.split(","), [[cell(v) for v in line.split(",")] for line in lines]


def same(records, rows):
    """Every cell equal to the bit (NaN where the command line leaves the field empty)."""
    got = [list(r) for r in records.reshape(-1).tolist()]
    assert len(got) == len(rows)
    for a, b in zip(got, rows):
        for x, y in zip(a, b):
            assert x == y or (x != x and y != y), (a, b)


CASES = [  # the module's call, velhorn-cli's arguments for the same records
    (lambda: velhorn.shock(M1=2, theta=10), ["shock", "--M1", "2", "--theta", "10"]),
    (lambda: velhorn.shock(M1=3, theta=20, strong=True, gas="argon"),
     ["--gas", "argon", "shock", "--M1", "3", "--theta", "20", "--strong"]),
    (lambda: velhorn.shock(M1=2.5, beta=90), ["shock", "--M1", "2.5", "--beta", "90"]),
    (lambda: velhorn.corners([10, -5, 8], M1=2), ["corners", "--M1", "2", "--theta", "10,-5,8"]),
    (lambda: velhorn.corners([-4, -4], M1=3, compression="isentropic", gamma=1.3),
     ["--gamma", "1.3", "corners", "--M1", "3", "--theta", "-4,-4", "--compression", "isentropic"]),
    (lambda: velhorn.body(M=2, alpha=np.arange(0, 4.5, 0.5), shape="wedge", half_angle=5),
     ["body", "--shape", "wedge", "--half-angle", "5", "--M", "2", "--alpha", "0", "4", "0.5"]),
    (lambda: velhorn.body(M=np.arange(1.5, 3.01, 0.25), alpha=2, shape="biconvex", thickness=0.08, facets=6),
     ["body", "--shape", "biconvex", "--thickness", "0.08", "--facets", "6", "--M", "1.5", "3", "0.25", "--alpha", "2"]),
    (lambda: velhorn.body(M=2, alpha=2, shape="diamond", thickness=0.1, per_facet=True),
     ["body", "--shape", "diamond", "--thickness", "0.1", "--M", "2", "--alpha", "2", "--per-facet"]),
    (lambda: velhorn.body(M=2.2, alpha=-1, shape="plate"), ["body", "--shape", "plate", "--M", "2.2", "--alpha", "-1"]),
]


@pytest.mark.parametrize("call, argv", CASES)
def test_same_columns_and_bits_as_the_command_line(call, argv):
    names, rows = cli_csv(*argv)
    got = call()
    assert list(got.dtype.names) == names
    same(got, rows)


def test_shocks_broadcast_and_match_a_batch():
    draw = np.random.default_rng(3)
    M1 = draw.uniform(1.5, 6, 30000)
    theta = draw.uniform(0, 20, 30000)
    gamma = np.where(np.arange(30000) % 3 == 0, 1.3, 1.4)
    lines = "".join(f"{m!r},{t!r},{g!r}\n" for m, t, g in zip(M1, theta, gamma))
    run = subprocess.run([CLI, "--format", "csv", "shock", "--batch", "-"], input="M1,theta,gamma\n" + lines,
                         capture_output=True, text=True)
    got = velhorn.shock(M1=M1, theta=theta, gamma=gamma, errors="nan")
    solved = ~np.isnan(got["M2"])
    # The command line refuses the detached cases on standard error, one line each.
    assert run.stderr.count("\n") == np.count_nonzero(~solved) > 0
    rows = np.array([[float(v) for v in line.split(",")[1:]] for line in run.stdout.strip().splitlines()[1:]])
    assert np.array_equal(got[solved].view(np.ndarray).view(np.float64).reshape(-1, len(velhorn.SHOCK_COLUMNS)), rows)
    assert velhorn.shock(M1=[[2.0], [3.0]], theta=[5, 10, 15]).shape == (2, 3)
    assert isinstance(velhorn.shock(M1=2, theta=5)["beta_deg"], float)


REFUSED = [
    (lambda: velhorn.shock(M1=2, theta=30), ["shock", "--M1", "2", "--theta", "30"]),
    (lambda: velhorn.shock(M1=2, beta=20), ["shock", "--M1", "2", "--beta", "20"]),
    (lambda: velhorn.corners([-30], M1=2), ["corners", "--M1", "2", "--theta", "-30"]),
    (lambda: velhorn.body(M=1.2, alpha=0, shape="wedge", half_angle=5),
     ["body", "--shape", "wedge", "--half-angle", "5", "--M", "1.2", "--alpha", "0"]),
    (lambda: velhorn.body(M=2, alpha=0, shape="diamond", thickness=1.5),
     ["body", "--shape", "diamond", "--thickness", "1.5", "--M", "2", "--alpha", "0"]),
]


@pytest.mark.parametrize("call, argv", REFUSED)
def test_refusals_are_the_command_lines(call, argv):
    run = subprocess.run([CLI, *argv], capture_output=True, text=True)
    assert run.returncode in (1, 2)
    with pytest.raises(ValueError) as refused:
        call()
    assert "velhorn-cli: " + str(refused.value) == run.stderr.strip()


def test_refused_cases_are_nan_on_request():
    out = velhorn.body(M=[2, 1.2, 3], alpha=0, shape="wedge", half_angle=5, errors="nan")
    assert np.isnan(out[1].tolist()).all() and not np.isnan(out["cd"][[0, 2]]).any()
    with pytest.raises(ValueError, match=r"^at index \(1,\): at M_inf = 1.2"):
        velhorn.body(M=[2, 1.2, 3], alpha=0, shape="wedge", half_angle=5)
    with pytest.raises(ValueError, match="a wedge needs half_angle"):
        velhorn.body(M=2, alpha=0, shape="wedge")
