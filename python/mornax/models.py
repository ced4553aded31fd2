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
    """

    def __init__(self, model, sill=0.0, a=0.0, c=0.0, nugget=0.0):
        self.model = model_number(model)
        if self.model == 6:
            raise ValueError("k_Rho is Bayesian estimation's model: use mornax.KRho")
        self.sill, self.a, self.c, self.nugget = float(sill), float(a), float(c), float(nugget)

    @classmethod
    def spherical(cls, sill, range, nugget=0.0):
        return cls(2, sill=sill, a=range, nugget=nugget)

    @classmethod
    def exponential(cls, sill, range, nugget=0.0):
        return cls(3, sill=sill, a=range, nugget=nugget)

    @classmethod
    def gaussian(cls, sill, range, nugget=0.0):
        return cls(4, sill=sill, a=range, nugget=nugget)

    @classmethod
    def polynomial(cls, slope, exponent, nugget=0.0, sill=1e300):
        """c h^exponent + nugget, capped at ``sill`` (no cap by default)."""
        return cls(1, sill=sill, a=exponent, c=slope, nugget=nugget)

    @classmethod
    def de_wijsian(cls, factor, nugget=0.0):
        return cls(5, a=factor, nugget=nugget)

    @property
    def name(self):
        return _engine.model_name(self.model)

    @property
    def partial_sill(self):
        return self.sill - self.nugget

    def engine(self):
        return _engine.Variogram(self.model, self.sill, self.a, self.c, self.nugget)

    def __call__(self, h):
        h = np.asarray(h, dtype=np.float64)
        values = _engine.variogram_values(self.engine(), np.ascontiguousarray(h.ravel()))
        return values.reshape(h.shape)

    def __repr__(self):
        return (f"VariogramModel({self.name!r}, sill={self.sill!r}, a={self.a!r}, "
                f"c={self.c!r}, nugget={self.nugget!r})")

    def __eq__(self, other):
        return isinstance(other, VariogramModel) and repr(self) == repr(other)


class KRho:
    """The k_Rho model of Bayesian estimation.

    The observations' correlation is k / (1 + k) rho^(h / lag) and ``sigma`` their
    spread; callable on distances for that correlation.
    """

    def __init__(self, sigma, k, rho, lag):
        self.sigma, self.k, self.rho, self.lag = float(sigma), float(k), float(rho), float(lag)

    name = "k_Rho"

    def engine(self):
        return _engine.KRho(self.sigma, self.k, self.rho, self.lag)

    def __call__(self, h):
        h = np.asarray(h, dtype=np.float64)
        return _engine.krho_correlation(self.engine(),
                                        np.ascontiguousarray(h.ravel())).reshape(h.shape)

    def __repr__(self):
        return f"KRho(sigma={self.sigma!r}, k={self.k!r}, rho={self.rho!r}, lag={self.lag!r})"


def as_distances(h):
    return as_values(np.ravel(h), "distances")
