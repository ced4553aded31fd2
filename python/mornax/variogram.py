"""The experimental semivariogram and the bounded fit of a model."""

import numpy as np

from . import _engine
from ._errors import EngineError, check_report
from ._progress import progress_callback
from .models import KRho, VariogramModel, model_name, model_number
from .points import as_points, as_values


class Semivariogram:
    """Classes of an experimental semivariogram (1 to the highest class with a pair).

    ``distance`` (mean distance of the pairs), ``semivariance`` (half their mean
    squared difference) and ``pairs``; an empty class has 0, 0, 0. ``average``
    and ``variance`` (divisor: the number of points) are of the values used.
    """

    def __init__(self, distance, semivariance, pairs, average=np.nan, variance=np.nan,
                 points_used=0, parameters=None):
        self.distance = as_values(distance, "distance")
        self.semivariance = as_values(semivariance, "semivariance", self.distance.size)
        self.pairs = np.asarray(pairs, dtype=np.int64)
        if self.pairs.shape != self.distance.shape:
            raise ValueError("pairs must have one count per class")
        self.average, self.variance, self.points_used = average, variance, points_used
        self.parameters = parameters or {}

    def __len__(self):
        return self.distance.size

    def __repr__(self):
        return f"Semivariogram({len(self)} classes, {int(self.pairs.sum())} pairs)"


def semivariogram(points, lag, count=20, *, direction=0.0, tolerance=360.0, log=False,
                  subtract=False, threads=None, progress=None, cancel=None):
    """The experimental semivariogram of ``points``.

    Parameters
    ----------
    lag : float
        Width of one lag class.
    count : int
        Number of lag classes.
    direction, tolerance : float
        Axis of the direction sector in degrees from x towards y, and its full
        opening (360: every direction).
    log : bool
        Natural logarithms of the values.
    subtract : bool
        Use ``|value - guess|`` (the points need guesses).
    threads, progress, cancel
        Thread count (None: every core or MORNAX_THREADS), a callable
        ``(done, total)`` or True for a tqdm bar, and a ``threading.Event`` that
        cancels the call (mornax.Cancelled) when set from another thread.
    """
    points = as_points(points)
    with progress_callback(progress, "semivariogram") as callback:
        r = _engine.semivariogram(points.x, points.y, points.value, points.guess, int(count),
                                  float(lag), float(tolerance), float(direction), bool(log),
                                  bool(subtract), progress=callback, cancel=cancel,
                                  threads=int(threads or 0))
    check_report(r["report"], r["cancelled"])
    return Semivariogram(r["distance"], r["semivariance"], r["pairs"], r["average"],
                         r["variance"], r["points_used"],
                         dict(lag=lag, count=count, direction=direction, tolerance=tolerance,
                              log=log, subtract=subtract))


class FitStart:
    """Starting values and bounds read off a semivariogram, as the batch tool proposes them."""

    def __init__(self, proposal):
        self.initial = tuple(proposal["initial"])
        self.minimum = tuple(proposal["minimum"])
        self.maximum = tuple(proposal["maximum"])
        self.classes = proposal["class_count"]
        self.nugget, self.sill, self.reach = (proposal["nugget"], proposal["sill"],
                                              proposal["reach"])

    def __repr__(self):
        return (f"FitStart(initial={self.initial}, minimum={self.minimum}, "
                f"maximum={self.maximum}, classes={self.classes})")


def fit_start(semivariogram, model="spherical"):
    """The start of a fit of ``model`` read off ``semivariogram`` (see ``fit``)."""
    proposal = _engine.propose_fit_start(semivariogram.distance, semivariogram.semivariance,
                                         semivariogram.pairs, model_number(model))
    if not proposal["proposed"]:
        raise ValueError("no fit start can be read off the semivariogram: " +
                         proposal["problem"])
    return FitStart(proposal)


class Fit:
    """A fitted semivariogram model, callable on distances (the fit's form).

    ``b`` holds B1, B2, B3 under ``labels`` (for example SILL, RANGE, C0: the
    spherical, exponential and Gaussian models fit the part above the nugget as
    SILL); ``status`` is how the iteration ended (0 converged, > 0 still moving
    at the limit, < 0 the engine's cases, see ``messages``), ``iterations``,
    ``chi2`` (sum of squares of model - observed), and the classes fitted with
    the model's values. ``variogram()`` gives the kriging model, ``krho()`` the
    k_Rho parameters of Bayesian estimation.
    """

    def __init__(self, model, result, start, initial, minimum, maximum):
        self.model = model
        self.name = model_name(model)
        self.labels = tuple(_engine.model_labels(model))
        self.b = tuple(result["b"])
        self.status = result["icon"]
        self.iterations = result["iterations"]
        self.chi2 = result["chi2"]
        self.distance, self.observed = result["distance"], result["observed"]
        self.fitted = result["model"]
        self.lag_scale = result["lag_scale"]
        self.mean_deviation = result["mean_deviation"]
        self.root_mean_square = result["root_mean_square"]
        self.correlation = result["correlation"]
        self.messages = [text.strip() for _, text in result["report"]["messages"]]
        self.start = start
        self.initial, self.minimum, self.maximum = initial, minimum, maximum

    @property
    def converged(self):
        return self.status == 0

    @property
    def parameters(self):
        return dict(zip(self.labels, self.b))

    def __call__(self, h):
        h = np.asarray(h, dtype=np.float64)
        values = _engine.fit_model_values(self.model, self.b,
                                          np.ascontiguousarray(h.ravel()), self.lag_scale)
        return values.reshape(h.shape)

    def variogram(self, keep=None):
        """The kriging model of this fit (polynomial and de Wijsian take the
        sill and c they do not fit from ``keep``)."""
        if self.model == 6:
            raise ValueError("a k_Rho fit gives Bayesian parameters: use krho()")
        keep = keep or VariogramModel(self.model)
        v = _engine.variogram_from_fit(self.model, self.b, keep.engine())
        return VariogramModel(v.model, v.sill, v.a, v.c, v.c0)

    def krho(self):
        if self.model != 6:
            raise ValueError(f"a {self.name} fit has no k_Rho parameters")
        k = _engine.krho_from_fit(self.b, self.lag_scale)
        return KRho(k.sigma, k.k, k.rho, k.lag_d)

    def __repr__(self):
        values = ", ".join(f"{label.strip()}={value:.6g}"
                           for label, value in zip(self.labels, self.b))
        return f"Fit({self.name}: {values}; status {self.status}, chi2 {self.chi2:.6g})"


def fit(semivariogram, model="spherical", *, initial=None, minimum=None, maximum=None,
        classes=None, best_fit=True):
    """Fits ``model`` to the classes of ``semivariogram`` by bounded Marquardt least squares.

    ``initial``, ``minimum`` and ``maximum`` are B1-B3 of the model (see
    ``Fit.labels``; a bound equal to the other pins its parameter). Those not
    given are read off the semivariogram as the batch tool does for a new
    document (``fit_start``), and then ``classes`` (how many leading non-empty
    classes are fitted) defaults to the proposal's count; otherwise to all.
    ``best_fit=False`` only evaluates the model at ``initial``.
    """
    number = model_number(model)
    start = None
    if initial is None or minimum is None or maximum is None:
        start = fit_start(semivariogram, number)
    initial = tuple(start.initial if initial is None else _triple(initial, "initial"))
    minimum = tuple(start.minimum if minimum is None else _triple(minimum, "minimum"))
    maximum = tuple(start.maximum if maximum is None else _triple(maximum, "maximum"))
    if classes is None:
        classes = start.classes if start else int(np.count_nonzero(semivariogram.distance))
    r = _engine.fit(semivariogram.distance, semivariogram.semivariance, number, initial,
                    minimum, maximum, bool(best_fit), int(classes))
    check_report(r["report"])
    return Fit(number, r, start, initial, minimum, maximum)


def _triple(values, name):
    values = tuple(float(v) for v in values)
    if len(values) != 3:
        raise ValueError(f"{name} must hold three values (B1, B2, B3)")
    return values


__all__ = ["Semivariogram", "semivariogram", "Fit", "fit", "FitStart", "fit_start",
           "EngineError"]
