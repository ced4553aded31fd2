"""Semivariogram models from the parameter conventions of two Python kriging libraries.

mornax writes the range models with r = h / a and the total sill (nugget
included): spherical (sill - nugget)(1.5 r - 0.5 r^3) + nugget up to a,
exponential (sill - nugget)(1 - exp(-r)) + nugget, Gaussian
(sill - nugget)(1 - exp(-r^2)) + nugget. The converters give the model that
has the same values at every distance.
"""

import math

from .models import VariogramModel


def from_pykrige(model, parameters, *, psill=False):
    """The model of PyKrige's ``variogram_model`` and ``variogram_parameters``.

    PyKrige's published formulas (p partial sill, r range, n nugget, d distance):

    - gaussian     p (1 - exp(-d^2 / (4 r / 7)^2)) + n      ->  a = 4 r / 7
    - exponential  p (1 - exp(-d / (r / 3))) + n            ->  a = r / 3
    - spherical    p (3 d / (2 r) - d^3 / (2 r^3)) + n, d <= r; p + n beyond  ->  a = r
    - linear       s d + n                                  ->  polynomial, exponent 1
    - power        s d^e + n                                ->  polynomial, exponent e

    ``parameters`` is a dict ({"sill" or "psill", "range", "nugget"}; {"slope",
    "nugget"}; {"scale", "exponent", "nugget"}) or a list in PyKrige's order:
    [sill, range, nugget], [slope, nugget], [scale, exponent, nugget]. PyKrige
    takes the full sill in a list unless told otherwise (``psill=True`` here).
    """
    name = model.lower()
    if name in ("linear", "power"):
        keys = ("slope", "nugget") if name == "linear" else ("scale", "exponent", "nugget")
        values = _values(parameters, keys)
        if name == "linear":
            return VariogramModel.polynomial(values["slope"], 1.0, values["nugget"])
        return VariogramModel.polynomial(values["scale"], values["exponent"], values["nugget"])
    factors = {"gaussian": 4.0 / 7.0, "exponential": 1.0 / 3.0, "spherical": 1.0}
    if name not in factors:
        raise ValueError(f"no mornax model for PyKrige's {model!r} model")
    if isinstance(parameters, dict):
        if "psill" in parameters:
            partial = float(parameters["psill"])
            nugget = float(parameters.get("nugget", 0.0))
            sill = partial + nugget
        else:
            values = _values(parameters, ("sill", "range", "nugget"))
            sill, nugget = values["sill"], values["nugget"]
        r = float(parameters["range"])
    else:
        first, r, nugget = (float(v) for v in _list(parameters, 3))
        sill = first + nugget if psill else first
    return VariogramModel(name, sill=sill, a=r * factors[name], nugget=nugget)


def from_gstools(model, var, len_scale, nugget=0.0, rescale=None):
    """The model of a GSTools covariance model (its variogram).

    GSTools' published form: variogram(h) = var (1 - cor(s h / len_scale)) +
    nugget, with ``var`` the partial sill and ``s`` the model's rescale factor:

    - Exponential  cor(r) = exp(-r),                s = 1          ->  a = len_scale / s
    - Gaussian     cor(r) = exp(-r^2),              s = sqrt(pi)/2 ->  a = len_scale / s
    - Spherical    cor(r) = 1 - 1.5 r + 0.5 r^3 (r < 1), 0 beyond; s = 1  ->  a = len_scale / s

    Give ``rescale`` when the model was built with another one.
    """
    name = model.lower()
    defaults = {"exponential": 1.0, "gaussian": math.sqrt(math.pi) / 2.0, "spherical": 1.0}
    if name not in defaults:
        raise ValueError(f"no mornax model for GSTools' {model!r} model")
    s = defaults[name] if rescale is None else float(rescale)
    return VariogramModel(name, sill=float(var) + float(nugget), a=float(len_scale) / s,
                          nugget=float(nugget))


def _list(parameters, n):
    values = list(parameters)
    if len(values) != n:
        raise ValueError(f"expected {n} parameters, got {len(values)}")
    return values


def _values(parameters, keys):
    if isinstance(parameters, dict):
        missing = [k for k in keys if k not in parameters and k != "nugget"]
        if missing:
            raise ValueError(f"missing parameters: {', '.join(missing)}")
        return {k: float(parameters.get(k, 0.0)) for k in keys}
    return dict(zip(keys, (float(v) for v in _list(parameters, len(keys)))))
