"""Semivariogram models as kriging and Bayesian estimation use them."""

import numpy as np

from . import _engine
from .points import as_values

MODEL_NUMBERS = {"polynomial": 1, "spherical": 2, "exponential": 3, "gaussian": 4,
                 "dewijsian": 5, "de wijsian": 5, "krho": 6, "k_rho": 6}


def model_number(model):
    """The engine's model number (1-6) of a name or number."""
    if isinstance(model, str):
        key = model.strip().lower().replace("-", " ").replace("_", " ")
        number = MODEL_NUMBERS.get(key) or MODEL_NUMBERS.get(key.replace(" ", ""))
        if number is None:
            raise ValueError(f"unknown model {model!r}: one of " +
                             ", ".join(sorted(set(MODEL_NUMBERS) - {"de wijsian", "k_rho"})))
        return number
    if isinstance(model, (int, np.integer)) and 1 <= int(model) <= 6:
        return int(model)
    raise ValueError(f"a model is a name or a number 1-6, not {model!r}")


def model_name(model):
    """The engine's name of a model ("Spherical", "k_Rho", ...)."""
    return _engine.model_name(model_number(model))


def _anisotropy(angle, ratio):
    """An engine anisotropy, checked: a finite angle, a ratio in (0, 1]."""
    angle, ratio = float(angle), float(ratio)
    if not np.isfinite(angle):
        raise ValueError(f"angle must be a finite number of degrees, not {angle!r}")
    if not 0.0 < ratio <= 1.0:
        raise ValueError(f"ratio (minor range / major range) must be in (0, 1], not {ratio!r}")
    return angle, ratio


class Structure:
    """A further structure of a nested model, without a nugget of its own.

    ``model`` 1-5 (a name or number), ``c`` its sill (spherical, exponential,
    Gaussian) or slope (polynomial, de Wijsian), ``a`` its range or exponent,
    and its own anisotropy ``angle`` and ``ratio``. A tuple
    ``(model, c, a[, angle[, ratio]])`` is taken wherever a Structure is.
    """

    def __init__(self, model, c, a=0.0, angle=0.0, ratio=1.0):
        self.model = model_number(model)
        if self.model == 6:
            raise ValueError("a further structure is one of models 1-5")
        self.c, self.a = float(c), float(a)
        self.angle, self.ratio = _anisotropy(angle, ratio)

    @classmethod
    def of(cls, value):
        if isinstance(value, Structure):
            return value
        if isinstance(value, (tuple, list)) and 2 <= len(value) <= 5:
            return cls(*value)
        raise TypeError(f"a structure is a mornax.Structure or a tuple "
                        f"(model, c, a[, angle[, ratio]]), not {value!r}")

    def engine(self):
        return _engine.Structure(self.model, self.c, self.a,
                                 _engine.Anisotropy(self.angle, self.ratio))

    def __repr__(self):
        return (f"Structure({_engine.model_name(self.model)!r}, c={self.c!r}, a={self.a!r}, "
                f"angle={self.angle!r}, ratio={self.ratio!r})")

    def __eq__(self, other):
        return isinstance(other, Structure) and repr(self) == repr(other)


class VariogramModel:
    """A semivariogram model (r = h / a), callable on distances:

    ==============  ==========================================================
    polynomial      min(c h^a + nugget, sill)
    spherical       sill beyond a, else (sill - nugget) (1.5 r - 0.5 r^3) + nugget
    exponential     (sill - nugget) (1 - exp(-r)) + nugget
    gaussian        (sill - nugget) (1 - exp(-r^2)) + nugget
    de Wijsian      a ln h + nugget
    ==============  ==========================================================

    ``sill`` is the total sill, nugget included; ``a`` is the range (spherical,
    exponential, Gaussian: the distance in the formulas above, not a practical
    range), the exponent (polynomial) or the factor of ln h (de Wijsian). The
    model is 0 at distance 0. Use the class methods to build one by name.

    Geometric anisotropy: ``angle`` is the major axis in degrees from +x
    towards +y (the semivariogram's ``direction``), ``ratio`` the minor range
    over the major one, in (0, 1]. h is ``sqrt(u^2 + (v / ratio)^2)`` with u
    along the axis and v across it, so a range a holds along the axis and
    ratio * a across it; ratio 1 is isotropic. The neighbour search (and the
    last-neighbour distance) uses the metric of the structure with the largest
    range (models 2-4).

    From R's gstat, ``vgm(..., anis = c(p, s))`` (principal direction p
    clockwise from north, ratio s): ``angle = 90 - p``, ``ratio = s``; for
    example ``anis = c(60, 0.4)`` is angle 30, ratio 0.4. GSLIB's azimuth is
    likewise 90 - angle.

    ``structures``: up to two further structures (``Structure`` or tuples
    ``(model, c, a[, angle[, ratio]])``); gamma is the sum of the first
    structure (with the nugget and its cap) and theirs, each at its own h.

    ``model(h)`` is the model at distances h along the first structure's major
    axis (for an isotropic single model, simply at h); ``model(h,
    direction=deg)`` along another direction.
    """

    def __init__(self, model, sill=0.0, a=0.0, c=0.0, nugget=0.0, *, angle=0.0, ratio=1.0,
                 structures=()):
        self.model = model_number(model)
        if self.model == 6:
            raise ValueError("k_Rho is Bayesian estimation's model: use mornax.KRho")
        self.sill, self.a, self.c, self.nugget = float(sill), float(a), float(c), float(nugget)
        self.angle, self.ratio = _anisotropy(angle, ratio)
        self.structures = tuple(Structure.of(s) for s in structures)
        most = _engine.MAX_FURTHER_STRUCTURES
        if len(self.structures) > most:
            raise ValueError(f"a model takes at most {most} further structures, "
                             f"not {len(self.structures)}")

    @classmethod
    def spherical(cls, sill, range, nugget=0.0, **anisotropy):
        return cls(2, sill=sill, a=range, nugget=nugget, **anisotropy)

    @classmethod
    def exponential(cls, sill, range, nugget=0.0, **anisotropy):
        return cls(3, sill=sill, a=range, nugget=nugget, **anisotropy)

    @classmethod
    def gaussian(cls, sill, range, nugget=0.0, **anisotropy):
        return cls(4, sill=sill, a=range, nugget=nugget, **anisotropy)

    @classmethod
    def polynomial(cls, slope, exponent, nugget=0.0, sill=1e300, **anisotropy):
        """c h^exponent + nugget, capped at ``sill`` (no cap by default)."""
        return cls(1, sill=sill, a=exponent, c=slope, nugget=nugget, **anisotropy)

    @classmethod
    def de_wijsian(cls, factor, nugget=0.0, **anisotropy):
        return cls(5, a=factor, nugget=nugget, **anisotropy)

    @property
    def name(self):
        return _engine.model_name(self.model)

    @property
    def partial_sill(self):
        return self.sill - self.nugget

    @property
    def isotropic(self):
        return self.ratio == 1.0 and all(s.ratio == 1.0 for s in self.structures)

    def engine(self):
        return _engine.Variogram(self.model, self.sill, self.a, self.c, self.nugget,
                                 _engine.Anisotropy(self.angle, self.ratio),
                                 [s.engine() for s in self.structures])

    def __call__(self, h, direction=None):
        h = np.asarray(h, dtype=np.float64)
        flat = np.ascontiguousarray(h.ravel())
        if direction is None and self.isotropic and not self.structures:
            values = _engine.variogram_values(self.engine(), flat)
        else:
            along = self.angle if direction is None else float(direction)
            values = _engine.variogram_values_along(self.engine(), flat, along)
        return values.reshape(h.shape)

    def __repr__(self):
        text = (f"VariogramModel({self.name!r}, sill={self.sill!r}, a={self.a!r}, "
                f"c={self.c!r}, nugget={self.nugget!r}")
        if self.angle != 0.0 or self.ratio != 1.0:
            text += f", angle={self.angle!r}, ratio={self.ratio!r}"
        if self.structures:
            text += f", structures={list(self.structures)!r}"
        return text + ")"

    def __eq__(self, other):
        return isinstance(other, VariogramModel) and repr(self) == repr(other)

    @classmethod
    def from_engine(cls, v):
        """The model of an engine variogram (its anisotropy and structures kept)."""
        return cls(v.model, v.sill, v.a, v.c, v.c0, angle=v.anisotropy.angle,
                   ratio=v.anisotropy.ratio,
                   structures=[Structure(s.model, s.c, s.a, s.anisotropy.angle,
                                         s.anisotropy.ratio) for s in v.structures])


class KRho:
    """The k_Rho model of Bayesian estimation.

    The observations' correlation is k / (1 + k) rho^(h / lag) and ``sigma`` their
    spread; callable on distances for that correlation. ``angle`` and ``ratio``
    give h a geometric anisotropy as VariogramModel has it (no further structures).
    """

    def __init__(self, sigma, k, rho, lag, *, angle=0.0, ratio=1.0):
        self.sigma, self.k, self.rho, self.lag = float(sigma), float(k), float(rho), float(lag)
        self.angle, self.ratio = _anisotropy(angle, ratio)

    name = "k_Rho"

    def engine(self):
        return _engine.KRho(self.sigma, self.k, self.rho, self.lag)

    def __call__(self, h):
        h = np.asarray(h, dtype=np.float64)
        return _engine.krho_correlation(self.engine(),
                                        np.ascontiguousarray(h.ravel())).reshape(h.shape)

    def __repr__(self):
        text = f"KRho(sigma={self.sigma!r}, k={self.k!r}, rho={self.rho!r}, lag={self.lag!r}"
        if self.angle != 0.0 or self.ratio != 1.0:
            text += f", angle={self.angle!r}, ratio={self.ratio!r}"
        return text + ")"


def as_distances(h):
    return as_values(np.ravel(h), "distances")
