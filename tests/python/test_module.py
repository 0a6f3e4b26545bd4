"""The Python module as a NumPy user calls it: shapes and scalars, the command line's columns and
its bits, its reasons, NaN on request. Needs VELHORN_CLI (velhorn-cli) and the module importable."""

import doctest
import os
import subprocess

import mpmath
import numpy as np
import pytest

import velhorn  # a module that was built but does not import fails the run, never skips it

CLI = os.environ["VELHORN_CLI"]


def cli(*args, stdin=None):
    return subprocess.run([CLI, *args], input=stdin, capture_output=True, text=True)


def csv_rows(text):
    header, *rows = text.strip().splitlines()
    return header.split(","), [[float(v) for v in row.split(",")] for row in rows]


@pytest.mark.parametrize("args, shape", [
    ({"M": 2.0}, ()),
    ({"M": [2.0, 3.0]}, (2,)),
    ({"M": np.array([[2.0], [3.0], [4.0]]), "gamma": [1.4, 1.3, 1.2, 1.1]}, (3, 4)),
    ({"M": np.zeros((0, 3)) + 2}, (0, 3)),
    ({"M": np.array([2.0, 3.0])[::-1]}, (2,)),
])
def test_state_functions_broadcast_like_ufuncs(args, shape):
    out = velhorn.nu(**args)
    assert np.shape(out) == shape
    if shape == ():
        assert isinstance(out, float)
    M, gamma = np.broadcast_arrays(args["M"], args.get("gamma", 1.4))
    expected = [velhorn.nu(float(m), float(g)) for m, g in zip(M.ravel(), gamma.ravel())]
    assert np.asarray(out).ravel().tolist() == expected


def test_fan_broadcasts_and_gives_floats_for_one_case():
    one = velhorn.fan(M1=2, theta=10)
    assert one.shape == () and isinstance(one["M2"], float)
    grid = velhorn.fan(M1=np.array([[2.0], [3.0]]), theta=[5, 10, 15], gamma=1.3)
    assert grid.shape == (2, 3) and grid["p2_p1"].shape == (2, 3)
    assert grid[1, 2]["M2"] == velhorn.fan(M1=3, theta=15, gamma=1.3)["M2"]


def mp_state(M, gamma):
    """nu, mu, p/p0, T/T0, rho/rho0 of one state, in 40 digits."""
    mpmath.mp.dps = 40
    # Air's constants are those of 7/5 itself; any other gamma is the double given.
    M, g = mpmath.mpf(M), mpmath.mpf(7) / 5 if gamma == 1.4 else mpmath.mpf(gamma)
    lam = mpmath.sqrt((g + 1) / (g - 1))
    s = mpmath.sqrt(M * M - 1)
    nu = mpmath.degrees(lam * mpmath.atan(s / lam) - mpmath.atan(s))
    T = 1 / (1 + (g - 1) / 2 * M * M)
    return {"nu": nu, "mu": mpmath.degrees(mpmath.asin(1 / M)), "p": T ** (g / (g - 1)), "T": T, "rho": T ** (1 / (g - 1))}


def ulps(value, reference):
    return abs(value - float(reference)) / np.spacing(abs(float(reference)))


def test_each_function_against_forty_digits():
    M = np.array([1.001, 1.5, 2.0, 3.7, 25.0])
    gamma = np.array([[1.4], [5 / 3], [1.2]])
    funcs = {"nu": velhorn.nu, "p": velhorn.p_p0, "T": velhorn.T_T0, "rho": velhorn.rho_rho0}
    out = {name: f(M, gamma) for name, f in funcs.items()}
    mu = velhorn.mach_angle(M)
    for i, g in enumerate(gamma[:, 0]):
        for j, m in enumerate(M):
            ref = mp_state(m, g)
            for name in funcs:
                assert ulps(out[name][i, j], ref[name]) <= 1, (name, m, g)
            assert ulps(mu[j], ref["mu"]) <= 1
            # The inverses from an exact nu and mu come back to M within an ulp or two.
            assert ulps(velhorn.mach_from_nu(float(ref["nu"]), g), m) <= 2
    assert velhorn.nu_max(gas="air") == pytest.approx(float(90 * (mpmath.sqrt(6) - 1)), rel=1e-16)
    assert [ulps(x, m) for x, m in zip(velhorn.mach_from_mach_angle(velhorn.mach_angle(M)), M)] <= [4] * len(M)


def test_names_are_the_command_lines_columns():
    solved = cli("--format", "csv", "solve", "--M1", "2", "--theta", "10").stdout
    assert list(velhorn.fan(M1=2, theta=10).dtype.names) == solved.splitlines()[0].split(",")
    assert tuple(velhorn.FAN_COLUMNS) == velhorn.fan(M1=2, theta=10).dtype.names
    table = cli("--format", "csv", "table", "--M", "1", "2", "0.5").stdout
    assert list(velhorn.table(M=(1, 2, 0.5)).dtype.names) == table.splitlines()[0].split(",")
    chained = cli("--format", "csv", "solve", "--M1", "2", "--theta", "5,10").stdout
    assert list(velhorn.chain([5, 10], M1=2).dtype.names) == chained.splitlines()[0].split(",")


GIVENS = {  # batch header: how the module is called with its two columns
    "M1,theta": lambda a, b, g: velhorn.fan(M1=a, theta=b, gamma=g),
    "nu2,theta": lambda a, b, g: velhorn.fan(nu2=a, theta=b, gamma=g),
    "mu1,M2": lambda a, b, g: velhorn.fan(mu1=a, M2=b, gamma=g),
}


@pytest.mark.parametrize("header, one_gas", [(h, False) for h in GIVENS] + [("M1,theta", True)])
def test_same_bits_as_the_command_line(header, one_gas):
    # Enough cases that the module splits them over threads; gamma changes along the way, or
    # one gas throughout, whose fans from M1 and theta both take a block at a time.
    draw = np.random.default_rng(7)
    n = 40000
    first = {"M1": draw.uniform(1, 6, n), "nu2": draw.uniform(20, 120, n), "mu1": draw.uniform(10, 89, n)}
    second = {"theta": draw.uniform(0, 19, n), "M2": draw.uniform(6, 9, n)}
    a, b = first[header.split(",")[0]], second[header.split(",")[1]]
    gamma = np.full(n, 1.4) if one_gas else np.where(np.arange(n) < n // 2, 1.4, 1.25)
    lines = "".join(f"{x!r},{y!r},{g!r}\n" for x, y, g in zip(a, b, gamma))
    if one_gas:
        gamma = 1.4
        lines = "".join(f"{x!r},{y!r}\n" for x, y in zip(a, b))
    run = cli("--format", "csv", "batch", stdin=f"{header}{'' if one_gas else ',gamma'}\n{lines}")
    assert run.returncode == 0, run.stderr
    names, rows = csv_rows(run.stdout)
    expected = np.array(rows)[:, 1:]  # without the line number
    got = GIVENS[header](a, b, gamma)
    assert names[1:] == list(got.dtype.names)
    assert np.array_equal(got.view(np.ndarray).view(np.float64).reshape(n, -1), expected)


def test_chain_and_table_same_bits_as_the_command_line():
    _, rows = csv_rows(cli("--format", "csv", "--gas", "argon", "solve", "--nu1", "3", "--theta", "5,10,2.5").stdout)
    got = velhorn.chain([5, 10, 2.5], nu1=3, gas="argon")
    assert [[float(v) for v in r] for r in got.tolist()] == rows
    _, rows = csv_rows(cli("--format", "csv", "--gamma", "1.3", "table", "--nu", "0", "100", "0.7").stdout)
    assert [list(r) for r in velhorn.table(nu=(0, 100, 0.7), gamma=1.3).tolist()] == rows


REFUSED = [  # the module's call, and the same case for velhorn-cli
    (lambda: velhorn.fan(M1=3, theta=200), ["solve", "--M1", "3", "--theta", "200"]),
    (lambda: velhorn.fan(nu1=140, M2=2), ["solve", "--nu1", "140", "--M2", "2"]),
    (lambda: velhorn.fan(mu1=30, mu2=0), ["solve", "--mu1", "30", "--mu2", "0"]),
    (lambda: velhorn.fan(M1=0.5, theta=1), ["solve", "--M1", "0.5", "--theta", "1"]),
    (lambda: velhorn.chain([50, 60], M1=2), ["solve", "--M1", "2", "--theta", "50,60"]),
    (lambda: velhorn.table(nu=(0, 200, 1)), ["table", "--nu", "0", "200", "1"]),
    (lambda: velhorn.table(M=(3, 2, 1)), ["table", "--M", "3", "2", "1"]),
]


@pytest.mark.parametrize("call, argv", REFUSED)
def test_refusals_name_the_range_as_the_command_line_does(call, argv):
    run = cli(*argv)
    assert run.returncode in (1, 2)
    with pytest.raises(ValueError) as refused:
        call()
    assert "velhorn-cli: " + str(refused.value) == run.stderr.strip()


@pytest.mark.parametrize("call, where, why", [
    (lambda e: velhorn.fan(M1=[2, 3, 2], theta=[10, 90, 20], errors=e), "(1,)", "with M1 = 3: theta must be from"),
    (lambda e: velhorn.mach_from_nu([[1, 2], [131, 3]], errors=e), "(1, 0)", "nu = 131 has no solution"),
    (lambda e: velhorn.nu([2, 0.5], errors=e), "(1,)", "M = 0.5 is subsonic: M must be at least 1"),
    (lambda e: velhorn.mach_from_mach_angle([30, 95], errors=e), "(1,)", "mu = 95 has no solution: mu must be above 0"),
    (lambda e: velhorn.p_p0([2, 2], gamma=[1.4, 1], errors=e), "(1,)", "gamma = 1: gamma must be a finite number above 1"),
    (lambda e: velhorn.mach_from_nu([1, np.nan], errors=e), "(1,)", "nu = NaN has no solution"),
])
def test_errors_raise_or_give_nan(call, where, why):
    with pytest.raises(ValueError, match=r"^at index " + r"\(" + where[1:-1] + r"\): .*" + why.replace("(", r"\(")):
        call("raise")
    out = call("nan")
    values = out.view(np.ndarray).view(np.float64).reshape(out.shape + (-1,)) if isinstance(out, velhorn.Records) else out
    failed = np.isnan(values)
    index = tuple(int(i) for i in where.strip("(),").split(","))
    assert failed[index].all() and failed.sum() == failed[index].size
    with pytest.raises(ValueError, match="errors must be"):
        call("ignore")


def test_the_first_failure_of_a_large_array_is_the_one_named():
    # Over threads and blocks of cases: the earliest case without a solution is named, and
    # only the cases without one are NaN.
    n = 50000
    theta, nu, mach = np.full(n, 10.0), np.full(n, 50.0), np.full(n, 2.0)
    theta[[30001, 30100, 45000]] = 200  # two in one block, one in a later one
    nu[[20002, 20003, 49999]] = 131
    mach[[4100, 4400, 12000]] = 0.5  # in the first two blocks of a chunk
    for call, failing in ((lambda e: velhorn.fan(M1=2, theta=theta, errors=e)["M2"], [30001, 30100, 45000]),
                          (lambda e: velhorn.mach_from_nu(nu, errors=e), [20002, 20003, 49999]),
                          (lambda e: velhorn.p_p0(mach, errors=e), [4100, 4400, 12000]),
                          (lambda e: velhorn.fan(M1=2, theta=theta, gamma=1.0, errors=e)["M2"], list(range(n)))):
        with pytest.raises(ValueError, match=rf"^at index \({failing[0]},\)"):
            call("raise")
        assert np.flatnonzero(np.isnan(call("nan"))).tolist() == failing


def test_usage_errors():
    for call in (lambda: velhorn.fan(M1=2), lambda: velhorn.fan(M1=2, nu1=3, theta=1),
                 lambda: velhorn.fan(M1=2, theta=1, gas="xenon"), lambda: velhorn.fan(M1=[2, 3], theta=[1, 2, 3])):
        with pytest.raises(ValueError):
            call()


def test_shown_in_a_notebook_and_by_help():
    one = velhorn.fan(M1=2, theta=10)
    assert "M2                      2.38489" in repr(one)
    many = velhorn.fan(M1=np.linspace(1.5, 3, 100), theta=5)
    assert len(repr(many).splitlines()) == 1 + 10 + 1 + 10 + 1  # header, first rows, "...", last rows, count
    assert "\n...\n" in repr(many)
    assert many._repr_html_().startswith("<table>") and "<th>rho2_rho1</th>" in many._repr_html_()
    assert "theta" in velhorn.fan.__doc__ and "errors" in velhorn.fan.__doc__
    assert doctest.testmod(velhorn, extraglobs={"velhorn": velhorn}).failed == 0
    assert velhorn.gases["argon"].gamma == 5 / 3
