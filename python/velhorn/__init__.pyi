from typing import Literal, Mapping, Sequence, overload

import numpy as np
import numpy.typing as npt

ArrayLike = npt.ArrayLike
Errors = Literal["raise", "nan"]

FAN_COLUMNS: tuple[str, ...]
STATE_COLUMNS: tuple[str, ...]
CHAIN_KEYS: tuple[str, str]

class Gas:
    name: str
    gamma: float
    source: str
    def __init__(self, name: str, gamma: float, source: str) -> None: ...

gases: Mapping[str, Gas]

class Records(np.ndarray):
    def _repr_html_(self) -> str | None: ...

@overload
def nu(M: float, gamma: float | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> float: ...
@overload
def nu(M: ArrayLike, gamma: ArrayLike | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> npt.NDArray[np.float64]: ...
@overload
def mach_from_nu(nu: float, gamma: float | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> float: ...
@overload
def mach_from_nu(nu: ArrayLike, gamma: ArrayLike | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> npt.NDArray[np.float64]: ...
@overload
def mach_angle(M: float, *, errors: Errors = ...) -> float: ...
@overload
def mach_angle(M: ArrayLike, *, errors: Errors = ...) -> npt.NDArray[np.float64]: ...
@overload
def mach_from_mach_angle(mu: float, *, errors: Errors = ...) -> float: ...
@overload
def mach_from_mach_angle(mu: ArrayLike, *, errors: Errors = ...) -> npt.NDArray[np.float64]: ...
@overload
def p_p0(M: float, gamma: float | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> float: ...
@overload
def p_p0(M: ArrayLike, gamma: ArrayLike | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> npt.NDArray[np.float64]: ...
@overload
def T_T0(M: float, gamma: float | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> float: ...
@overload
def T_T0(M: ArrayLike, gamma: ArrayLike | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> npt.NDArray[np.float64]: ...
@overload
def rho_rho0(M: float, gamma: float | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> float: ...
@overload
def rho_rho0(M: ArrayLike, gamma: ArrayLike | None = ..., *, gas: str | None = ..., errors: Errors = ...) -> npt.NDArray[np.float64]: ...
def nu_max(gamma: ArrayLike | None = ..., *, gas: str | None = ...) -> float | npt.NDArray[np.float64]: ...
def fan(*, M1: ArrayLike | None = ..., nu1: ArrayLike | None = ..., mu1: ArrayLike | None = ...,
        M2: ArrayLike | None = ..., nu2: ArrayLike | None = ..., mu2: ArrayLike | None = ...,
        theta: ArrayLike | None = ..., gamma: ArrayLike | None = ..., gas: str | None = ...,
        errors: Errors = ...) -> Records: ...
def chain(thetas: Sequence[float] | npt.NDArray[np.float64], *, M1: float | None = ..., nu1: float | None = ...,
          mu1: float | None = ..., gamma: float | None = ..., gas: str | None = ...) -> Records: ...
def table(*, M: tuple[float, float, float] | None = ..., nu: tuple[float, float, float] | None = ...,
          gamma: float | None = ..., gas: str | None = ...) -> Records: ...

SHOCK_COLUMNS: tuple[str, ...]
CORNER_KEYS: tuple[str, ...]
CORNER_COLUMNS: tuple[str, ...]
FACET_KEYS: tuple[str, ...]
FACET_LABELS: tuple[str, ...]
FACET_COLUMNS: tuple[str, ...]
BODY_COLUMNS: tuple[str, ...]

def shock(*, M1: ArrayLike, theta: ArrayLike | None = ..., beta: ArrayLike | None = ..., strong: bool = ...,
          gamma: ArrayLike | None = ..., gas: str | None = ..., errors: Errors = ...) -> Records: ...
def corners(turns: Sequence[float] | npt.NDArray[np.float64], *, M1: float,
            compression: Literal["shock", "isentropic"] = ..., gamma: float | None = ...,
            gas: str | None = ...) -> Records: ...
def body(*, M: ArrayLike, alpha: ArrayLike,
         shape: Literal["plate", "wedge", "diamond", "biconvex", "polygon"] = ...,
         half_angle: float | None = ..., thickness: float | None = ..., crest: float = ..., facets: int = ...,
         points: Sequence[tuple[float, float]] | None = ..., per_facet: bool = ..., gamma: ArrayLike | None = ...,
         gas: str | None = ..., errors: Errors = ...) -> Records: ...
