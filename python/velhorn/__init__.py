"""Velhorn: Prandtl-Meyer expansion fans of a perfect gas, on NumPy arrays.

The same correctly rounded core as velhorn-cli: every function takes scalars or arrays that
broadcast together (gamma too), angles in degrees, and returns the command line's quantities
under its column names. A case without a solution raises ValueError naming the range that has
one, or gives NaN with errors="nan".

    >>> import velhorn
    >>> velhorn.fan(M1=2, theta=10)["M2"]
    2.384887154593069
"""

import numpy as np

from . import _core

__all__ = [
    "FAN_COLUMNS", "STATE_COLUMNS", "CHAIN_KEYS", "Gas", "gases", "Records",
    "nu", "mach_from_nu", "mach_angle", "mach_from_mach_angle", "p_p0", "T_T0", "rho_rho0", "nu_max",
    "fan", "chain", "table",
    "SHOCK_COLUMNS", "CORNER_KEYS", "CORNER_COLUMNS", "FACET_KEYS", "FACET_LABELS", "FACET_COLUMNS", "BODY_COLUMNS",
    "shock", "corners", "body",
]

#: Every quantity of a fan, in velhorn-cli's column order (its CSV header).
FAN_COLUMNS = tuple(_core.FAN_COLUMNS)
#: A row of a gas table, as velhorn-cli table writes it.
STATE_COLUMNS = tuple(_core.STATE_COLUMNS)
#: The states each row of a chain joins, ahead of the fan's columns.
CHAIN_KEYS = ("from_state", "to_state")

#: An oblique shock's columns, as velhorn-cli shock writes them ("strong" is 1 on the strong branch).
SHOCK_COLUMNS = tuple(_core.SHOCK_COLUMNS)
#: Corners in a row: the regions each wave joins, its kind (fan, shock, compression or overall), its values.
CORNER_KEYS = tuple(_core.CORNER_KEYS)
CORNER_COLUMNS = tuple(_core.CORNER_COLUMNS)
#: A body's facets: the facet's number from the nose, its surface and wave, its values.
FACET_KEYS = tuple(_core.FACET_KEYS)
FACET_LABELS = tuple(_core.FACET_LABELS)
FACET_COLUMNS = tuple(_core.FACET_COLUMNS)
#: A body's forces by shock-expansion theory, then Ackeret's and Busemann's estimates.
BODY_COLUMNS = tuple(_core.BODY_COLUMNS)

_LABEL = "U11"  # the longest wave name, "compression"
_SHOCK_DTYPE = np.dtype([(name, np.float64) for name in SHOCK_COLUMNS])
_BODY_DTYPE = np.dtype([(name, np.float64) for name in BODY_COLUMNS])
_CORNER_DTYPE = np.dtype([(name, np.int64) for name in CORNER_KEYS] + [(_core.WAVE_LABEL, _LABEL)] +
                         [(name, np.float64) for name in CORNER_COLUMNS])
_FACET_DTYPE = np.dtype([(name, np.int64) for name in FACET_KEYS] + [(name, _LABEL) for name in FACET_LABELS] +
                        [(name, np.float64) for name in FACET_COLUMNS])
_FAN_DTYPE = np.dtype([(name, np.float64) for name in FAN_COLUMNS])
_STATE_DTYPE = np.dtype([(name, np.float64) for name in STATE_COLUMNS])
_CHAIN_DTYPE = np.dtype([(name, np.int64) for name in CHAIN_KEYS] + [(name, np.float64) for name in FAN_COLUMNS])


class Gas:
    """A named gas: its ratio of specific heats and where the value comes from."""

    __slots__ = ("name", "gamma", "source")

    def __init__(self, name, gamma, source):
        self.name, self.gamma, self.source = name, gamma, source

    def __repr__(self):
        return f"Gas({self.name!r}, gamma={self.gamma!r}, source={self.source!r})"


#: The gases velhorn-cli --gas knows, by name.
gases = {name: Gas(name, gamma, source) for name, gamma, source in _core.GASES}


class Records(np.ndarray):
    """Results as a NumPy structured array: r["p2_p1"] is an array (a float for one case),
    r[0] one case. Printed as a table to 6 significant digits, as velhorn-cli prints it; the
    values themselves are the full doubles."""

    _DIGITS = 6
    _ROWS_SHOWN = 10  # at each end of a long result

    def __getitem__(self, key):
        item = super().__getitem__(key)
        if isinstance(item, np.void):  # one case: shown as a column of names and values
            return np.array(item, dtype=item.dtype).view(Records)
        if isinstance(item, np.ndarray) and item.dtype.names is None:
            item = item.view(np.ndarray)
            return item[()] if item.ndim == 0 else item
        return item

    def _cells(self):
        """Names, and rows of rounded texts with None where rows are left out."""
        names = self.dtype.names
        flat = self.view(np.ndarray).reshape(-1)
        shown = range(len(flat))
        if len(flat) > 2 * self._ROWS_SHOWN:
            shown = [*range(self._ROWS_SHOWN), None, *range(len(flat) - self._ROWS_SHOWN, len(flat))]
        rows = []
        for i in shown:
            rows.append(None if i is None else [_text(flat[i][name], self._DIGITS) for name in names])
        return names, rows

    def __repr__(self):
        if self.dtype.names is None:
            return repr(self.view(np.ndarray))
        names, rows = self._cells()
        if self.ndim == 0:
            width = max(len(n) for n in names)
            return "\n".join(f"{n:<{width}}  {v}" for n, v in zip(names, rows[0]))
        widths = [max([len(n)] + [len(r[c]) for r in rows if r]) for c, n in enumerate(names)]
        lines = ["  ".join(n.rjust(w) for n, w in zip(names, widths))]
        for r in rows:
            lines.append("  ".join((v.rjust(w) for v, w in zip(r, widths))) if r else "...")
        return "\n".join(lines) + f"\n[{self.size} {'case' if self.size == 1 else 'cases'}, shape {self.shape}]"

    __str__ = __repr__

    def _repr_html_(self):
        if self.dtype.names is None:
            return None
        names, rows = self._cells()
        return _core.html_table(list(names), [r if r else ["\u2026"] * len(names) for r in rows])


def _text(value, digits):
    if isinstance(value, (str, np.integer)):
        return str(value)
    return _core.rounded(float(value), digits) if np.isfinite(value) else str(float(value))


def _gamma(gamma, gas):
    if gas is None:
        return 1.4 if gamma is None else gamma
    if gamma is not None:
        raise ValueError("give gas or gamma, not both")
    if gas not in gases:
        raise ValueError(f"unknown gas {gas!r}; velhorn.gases lists the gases")
    return gases[gas].gamma


def _stop_at_first(errors):
    if errors not in ("raise", "nan"):
        raise ValueError(f'errors must be "raise" or "nan", not {errors!r}')
    return errors == "raise"


def _broadcast(*arguments):
    """The broadcast shape and each argument as one value or one a case, flat and contiguous."""
    arrays = [np.asarray(a, dtype=np.float64) for a in arguments]
    shape = np.broadcast_shapes(*(a.shape for a in arrays))
    flat = []
    for a in arrays:
        if a.size == 1:
            flat.append(a.reshape(1))
        else:
            flat.append(np.ascontiguousarray(np.broadcast_to(a, shape)).reshape(-1))
    return shape, flat, all(a.ndim == 0 for a in arrays)


def _raise_at(index, why, shape):
    if index < 0:
        return
    where = f"at index {np.unravel_index(index, shape)}: " if shape else ""
    raise ValueError(where + why)


def _state_function(given, wanted, x, gamma, gas, errors):
    stop = _stop_at_first(errors)
    shape, (xs, gammas), scalar = _broadcast(x, _gamma(gamma, gas))
    n = int(np.prod(shape))
    out, index, why = _core.state_quantity(given, wanted, xs, gammas, n, stop)
    if stop:
        _raise_at(index, why, shape)
    out = out.reshape(shape)
    return out[()] if scalar else out


def nu(M, gamma=None, *, gas=None, errors="raise"):
    """Prandtl-Meyer angle, degrees, of Mach number M (>= 1)."""
    return _state_function("M", "nu_deg", M, gamma, gas, errors)


def mach_from_nu(nu, gamma=None, *, gas=None, errors="raise"):
    """Mach number whose Prandtl-Meyer angle is nu degrees (0 <= nu < nu_max), to full precision."""
    return _state_function("nu", "M", nu, gamma, gas, errors)


def mach_angle(M, *, errors="raise"):
    """Mach angle mu = asin(1/M), degrees, of Mach number M (>= 1)."""
    return _state_function("M", "mu_deg", M, None, None, errors)


def mach_from_mach_angle(mu, *, errors="raise"):
    """Mach number whose Mach angle is mu degrees (0 < mu <= 90)."""
    return _state_function("mu", "M", mu, None, None, errors)


def p_p0(M, gamma=None, *, gas=None, errors="raise"):
    """Static to total pressure of isentropic flow at Mach number M (>= 1)."""
    return _state_function("M", "p_p0", M, gamma, gas, errors)


def T_T0(M, gamma=None, *, gas=None, errors="raise"):
    """Static to total temperature of isentropic flow at Mach number M (>= 1)."""
    return _state_function("M", "T_T0", M, gamma, gas, errors)


def rho_rho0(M, gamma=None, *, gas=None, errors="raise"):
    """Static to total density of isentropic flow at Mach number M (>= 1)."""
    return _state_function("M", "rho_rho0", M, gamma, gas, errors)


def nu_max(gamma=None, *, gas=None):
    """The supremum of nu, degrees: the largest turn from M = 1."""
    values = np.vectorize(_core.nu_max, otypes=[np.float64])(_gamma(gamma, gas))
    return values[()] if np.ndim(values) == 0 else values


def _state_given(state, M, nu_, mu):
    given = [(by, v) for by, v in (("M", M), ("nu", nu_), ("mu", mu)) if v is not None]
    if len(given) > 1:
        names = " and ".join(by + state for by, _ in given)
        raise ValueError(f"state {state} is given twice ({names}); give one of M{state}, nu{state} and mu{state}")
    return given[0] if given else ("M", None)


def fan(*, M1=None, nu1=None, mu1=None, M2=None, nu2=None, mu2=None, theta=None, gamma=None, gas=None,
        errors="raise"):
    """One Prandtl-Meyer fan per case, from exactly two of state 1, state 2 and theta.

    Each state is given by its Mach number (M1, M2), its Prandtl-Meyer angle (nu1, nu2,
    degrees) or its Mach angle (mu1, mu2, degrees); theta is the turning angle in degrees,
    as in ``velhorn-cli solve``. Arguments are scalars or arrays that broadcast together;
    gamma (default 1.4, air) may be an array too, or name a gas with gas="argon" (see
    velhorn.gases).

    Returns a Records structured array of the broadcast shape with velhorn-cli's columns
    (velhorn.FAN_COLUMNS): gamma; M1, nu1_deg, mu1_deg, p1_p0, T1_T0, rho1_rho0; the same for
    state 2; theta_deg, p2_p1, T2_T1, rho2_rho1, forward_mach_line_deg, rearward_mach_line_deg,
    max_turn_deg, nu_max_deg. For scalar arguments each field is a float.

    A case without a solution raises ValueError saying which range has one (errors="raise",
    the default), or is a row of NaN (errors="nan"). Large arrays are split over the cores,
    without the GIL.

    >>> velhorn.fan(M1=2, theta=[5, 10])["p2_p1"]
    array([0.74746367, 0.54796873])
    """
    stop = _stop_at_first(errors)
    by1, state1 = _state_given("1", M1, nu1, mu1)
    by2, state2 = _state_given("2", M2, nu2, mu2)
    present = [v for v in (state1, state2, theta) if v is not None]
    if len(present) != 2:
        raise ValueError("give exactly two of state 1 (M1, nu1 or mu1), state 2 (M2, nu2 or mu2) and theta")
    shape, flat, scalar = _broadcast(*present, _gamma(gamma, gas))
    arrays = iter(flat)
    args = [next(arrays) if v is not None else None for v in (state1, state2, theta)]
    n = int(np.prod(shape))
    out, index, why = _core.fan(by1, args[0], by2, args[1], args[2], next(arrays), n, stop)
    if stop:
        _raise_at(index, why, shape)
    return out.view(_FAN_DTYPE).reshape(shape).view(Records)


def chain(thetas, *, M1=None, nu1=None, mu1=None, gamma=None, gas=None):
    """Corners turned one after another from state 1, as ``velhorn-cli solve --theta A,B,...``.

    One row a corner (from_state i to to_state i + 1), then the whole chain as one fan
    (from_state 1 to the last state), each with velhorn-cli's fan columns after CHAIN_KEYS.
    State 1 is one scalar given by M1, nu1 or mu1; thetas a sequence of turning angles,
    degrees. Raises ValueError when a corner has no solution, naming the range that has one.
    """
    by, value = _state_given("1", M1, nu1, mu1)
    if value is None:
        raise ValueError("a chain needs state 1 (M1, nu1 or mu1)")
    thetas = [float(t) for t in np.atleast_1d(np.asarray(thetas, dtype=np.float64))]
    if not thetas:
        raise ValueError("a chain needs at least one turning angle")
    keys, values = _core.chain(by, float(value), thetas, float(_gamma(gamma, gas)))
    out = np.empty(len(keys), dtype=_CHAIN_DTYPE)
    for c, name in enumerate(CHAIN_KEYS):
        out[name] = keys[:, c]
    for c, name in enumerate(FAN_COLUMNS):
        out[name] = values[:, c]
    return out.view(Records)


def table(*, M=None, nu=None, gamma=None, gas=None):
    """A gas table, as ``velhorn-cli table``: M=(FROM, TO, STEP) or nu=(FROM, TO, STEP), degrees
    for nu. Rows have velhorn.STATE_COLUMNS: M, nu_deg, mu_deg, p_p0, T_T0, rho_rho0. Raises
    ValueError for a range without a solution at either end, naming the range that has one."""
    if (M is None) == (nu is None):
        raise ValueError("give a range, M=(FROM, TO, STEP) or nu=(FROM, TO, STEP)")
    by, given = ("M", M) if M is not None else ("nu", nu)
    start, stop, step = (float(v) for v in given)
    values = _core.table(by, start, stop, step, float(_gamma(gamma, gas)))
    return values.view(_STATE_DTYPE).reshape(-1).view(Records)


def shock(*, M1, theta=None, beta=None, strong=False, gamma=None, gas=None, errors="raise"):
    """An oblique shock per case, as ``velhorn-cli shock``: from M1 and the deflection theta
    (degrees, 0 to theta_max; the weak shock, or the strong one with strong=True), or from M1 and
    the shock angle beta (degrees, mu1 to 90; 90 is the normal shock). Arguments broadcast
    together; returns a Records with velhorn.SHOCK_COLUMNS. A case without an attached shock
    raises ValueError saying which range has one, or is NaN with errors="nan"."""
    if (theta is None) == (beta is None):
        raise ValueError("a shock needs M1 and one of theta and beta")
    stop = _stop_at_first(errors)
    angle = theta if theta is not None else beta
    shape, (Ms, angles, gammas), _ = _broadcast(M1, angle, _gamma(gamma, gas))
    n = int(np.prod(shape))
    by_theta = theta is not None
    out, index, why = _core.shock(Ms, angles if by_theta else None, None if by_theta else angles, bool(strong),
                                  gammas, n, stop)
    if stop:
        _raise_at(index, why, shape)
    return out.view(_SHOCK_DTYPE).reshape(shape).view(Records)


def corners(turns, *, M1, compression="shock", gamma=None, gas=None):
    """Sharp corners in a row along a wall, as ``velhorn-cli corners``: each turn in degrees,
    positive convex (a Prandtl-Meyer fan), negative concave (an oblique shock, or an isentropic
    compression fan with compression="isentropic"). One row a wave, keyed by the regions it joins
    and named by its kind, then for several the whole row ("overall"); velhorn.CORNER_COLUMNS
    after the keys. Raises ValueError naming the corner that has no solution and why."""
    if compression not in ("shock", "isentropic"):
        raise ValueError(f'compression must be "shock" or "isentropic", not {compression!r}')
    turns = [float(t) for t in np.atleast_1d(np.asarray(turns, dtype=np.float64))]
    keys, labels, rows = _core.corners(float(M1), turns, compression == "isentropic", float(_gamma(gamma, gas)))
    out = np.empty(len(keys), dtype=_CORNER_DTYPE)
    for c, name in enumerate(CORNER_KEYS):
        out[name] = [k[c] for k in keys]
    out[_core.WAVE_LABEL] = labels
    values = np.array(rows, dtype=np.float64).reshape(len(keys), len(CORNER_COLUMNS))
    for c, name in enumerate(CORNER_COLUMNS):
        out[name] = values[:, c]
    return out.view(Records)


def body(*, M, alpha, shape="plate", half_angle=None, thickness=None, crest=0.5, facets=10, points=None,
         per_facet=False, gamma=None, gas=None, errors="raise"):
    """A body in a supersonic stream by shock-expansion theory, as ``velhorn-cli body``.

    shape is "plate", "wedge" (half_angle, degrees), "diamond" (thickness over chord, crest:
    where it is thickest, chords from the nose), "biconvex" (thickness, facets a side) or
    "polygon" (points: the outline as (x, y) pairs). M and alpha (the chord's incidence,
    degrees, nose up positive) broadcast together; returns a Records with velhorn.BODY_COLUMNS:
    lift, wave drag and moments by shock-expansion theory, then by Ackeret's and Busemann's
    theories. With per_facet=True (one M and one alpha), one row a facet instead
    (velhorn.FACET_KEYS, FACET_LABELS, FACET_COLUMNS). A case without a solution raises
    ValueError naming the range of alpha and the least M that work, or is NaN with errors="nan".
    """
    needs = {"wedge": ("half_angle", half_angle), "diamond": ("thickness", thickness),
             "biconvex": ("thickness", thickness), "polygon": ("points", points)}
    if shape in needs and needs[shape][1] is None:
        raise ValueError(f"a {shape} needs {needs[shape][0]}")
    outline = [(float(x), float(y)) for x, y in (points if points is not None else [])]
    made = _core.shape(str(shape), float(half_angle or 0), float(thickness or 0), float(crest), int(facets), outline)
    g = _gamma(gamma, gas)
    if per_facet:
        if np.ndim(M) or np.ndim(alpha) or np.ndim(g):
            raise ValueError("per_facet takes one M, one alpha and one gamma")
        keys, surfaces, waves, rows = _core.facets(made, float(M), float(alpha), float(g))
        out = np.empty(len(keys), dtype=_FACET_DTYPE)
        out[FACET_KEYS[0]] = keys
        out[FACET_LABELS[0]], out[FACET_LABELS[1]] = surfaces, waves
        values = np.array(rows, dtype=np.float64).reshape(len(keys), len(FACET_COLUMNS))
        for c, name in enumerate(FACET_COLUMNS):
            out[name] = values[:, c]
        return out.view(Records)
    stop = _stop_at_first(errors)
    shape_, (Ms, alphas, gammas), _ = _broadcast(M, alpha, g)
    n = int(np.prod(shape_))
    out, index, why = _core.body(made, Ms, alphas, gammas, n, stop)
    if stop:
        _raise_at(index, why, shape_)
    return out.view(_BODY_DTYPE).reshape(shape_).view(Records)
