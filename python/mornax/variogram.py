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
        return VariogramModel.from_engine(v)

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


class DirectionalSemivariogram:
    """Several direction sectors and a variogram map from one pass over the pairs.

    ``directions`` (degrees from x towards y, in the order given) and
    ``sectors``, one ``Semivariogram`` per direction (``self[d]`` is the one of
    direction d), each exactly what ``semivariogram`` gives for that direction
    with the same lag, count and tolerance. ``map`` is an xarray.DataArray of
    semivariances over lag vectors (dims ``dy``, ``dx``, centred on the zero
    lag; empty cells NaN) with the pair counts as its coordinate ``pairs``, or
    None when no map was asked for.
    """

    def __init__(self, directions, sectors, map, parameters):
        self.directions = tuple(directions)
        self.sectors = list(sectors)
        self.map = map
        self.parameters = parameters

    def __getitem__(self, direction):
        for d, sector in zip(self.directions, self.sectors):
            if d == direction:
                return sector
        raise KeyError(f"no sector in direction {direction!r}: {list(self.directions)}")

    def __iter__(self):
        return iter(zip(self.directions, self.sectors))

    def __len__(self):
        return len(self.sectors)

    def __repr__(self):
        cells = "" if self.map is None else f", a {self.map.shape[1]}x{self.map.shape[0]} map"
        return f"DirectionalSemivariogram(directions {list(self.directions)}{cells})"


def directional_semivariogram(points, directions=(0.0, 45.0, 90.0, 135.0), *, lag, count=20,
                              tolerance=45.0, map_cells=0, map_cell_size=None, log=False,
                              subtract=False, threads=None, progress=None, cancel=None):
    """Direction sectors and the variogram map of ``points`` in one pass.

    ``directions`` are the sectors' axes (degrees from x towards y; 1 to 36),
    ``tolerance`` the full opening of every sector, ``lag`` and ``count`` the
    classes as for ``semivariogram``. ``map_cells`` > 0 also computes the map
    of (2 map_cells + 1)^2 cells of ``map_cell_size`` (default: ``lag``)
    centred on the zero lag: a pair counts at its separation (dx, dy) and at
    (-dx, -dy). Returns a ``DirectionalSemivariogram``.
    """
    import xarray as xr

    points = as_points(points)
    directions = [float(d) for d in np.atleast_1d(directions)]
    cell = 0.0 if map_cell_size is None else float(map_cell_size)
    with progress_callback(progress, "directions") as callback:
        r = _engine.directional_semivariogram(
            points.x, points.y, points.value, points.guess, int(count), float(lag),
            float(tolerance), directions, bool(log), bool(subtract), int(map_cells), cell,
            progress=callback, cancel=cancel, threads=int(threads or 0))
    check_report(r["report"], r["cancelled"])
    parameters = dict(lag=lag, count=count, directions=directions, tolerance=tolerance,
                      map_cells=map_cells, map_cell_size=map_cell_size, log=log,
                      subtract=subtract)
    sectors = [Semivariogram(d["distance"], d["semivariance"], d["pairs"], d["average"],
                             d["variance"], d["points_used"],
                             dict(parameters, direction=direction))
               for direction, d in zip(directions, r["directions"])]
    grid = None
    cells = r["map_cells"]
    if cells > 0:
        side = 2 * cells + 1
        offsets = np.arange(-cells, cells + 1) * r["map_cell_size"]
        pairs = r["map_pairs"].reshape(side, side)
        values = np.where(pairs > 0, r["map_semivariance"].reshape(side, side), np.nan)
        grid = xr.DataArray(values, dims=("dy", "dx"),
                            coords={"dy": offsets, "dx": offsets, "pairs": (("dy", "dx"), pairs)},
                            name="semivariance",
                            attrs={"cell_size": r["map_cell_size"]})
    return DirectionalSemivariogram(directions, sectors, grid, parameters)


class JointFit:
    """The joint fit of the sectors of a ``DirectionalSemivariogram``.

    One model (``name``) with a common nugget and sill and a range that
    depends on the direction through a geometric anisotropy: ``b`` (C the
    sill above the nugget, a the range along the major axis, C0 the nugget),
    ``angle`` (0 to 180, degrees from x towards y) and ``ratio``; ``chi2``,
    ``iterations``, ``converged``, and per direction the classes fitted
    (``distance``, ``observed``) and the model there (``fitted``).
    ``variogram()`` gives the anisotropic model for kriging and Bayes.
    """

    def __init__(self, directions, result):
        self.model = result["model"]
        self.name = model_name(self.model)
        self.directions = tuple(directions)
        self.b = tuple(result["b"])
        self.angle, self.ratio = result["angle"], result["ratio"]
        self.chi2, self.iterations = result["chi2"], result["iterations"]
        self.converged = result["converged"]
        self.distance, self.observed = result["distance"], result["observed"]
        self.fitted = result["fitted"]
        self.messages = [text.strip() for _, text in result["report"]["messages"]]

    def variogram(self, keep=None):
        """The kriging model of this fit (``keep``'s further structures kept)."""
        keep = keep or VariogramModel(self.model)
        v = _engine.variogram_from_joint_fit(self.model, self.b,
                                             _engine.Anisotropy(self.angle, self.ratio),
                                             keep.engine())
        return VariogramModel.from_engine(v)

    def __repr__(self):
        c, a, c0 = self.b
        return (f"JointFit({self.name}: C={c:.6g}, a={a:.6g}, C0={c0:.6g}, "
                f"angle={self.angle:.6g}, ratio={self.ratio:.6g}; chi2 {self.chi2:.6g})")


def joint_fit(directional, model="spherical", *, initial=None, minimum=None, maximum=None,
              minimum_ratio=0.05):
    """Fits one anisotropic ``model`` (spherical, exponential or Gaussian) to
    every sector of ``directional`` (a ``DirectionalSemivariogram``) together.

    ``initial``, ``minimum`` and ``maximum`` are (C, a, C0); when none is given
    they are read off the classes of every direction together. The ratio stays
    in [minimum_ratio, 1]. Returns a ``JointFit``.
    """
    number = model_number(model)
    given = [v for v in (initial, minimum, maximum) if v is not None]
    if given and len(given) != 3:
        raise ValueError("give initial, minimum and maximum together, or none of them")
    initial, minimum, maximum = ((_triple(initial, "initial"), _triple(minimum, "minimum"),
                                  _triple(maximum, "maximum")) if given else ((0.0,) * 3,) * 3)
    r = _engine.joint_fit(list(directional.directions),
                          [s.distance for s in directional.sectors],
                          [s.semivariance for s in directional.sectors], number, initial,
                          minimum, maximum, float(minimum_ratio))
    check_report(r["report"])
    return JointFit(directional.directions, r)


def _triple(values, name):
    values = tuple(float(v) for v in values)
    if len(values) != 3:
        raise ValueError(f"{name} must hold three values (B1, B2, B3)")
    return values


__all__ = ["Semivariogram", "semivariogram", "Fit", "fit", "FitStart", "fit_start",
           "DirectionalSemivariogram", "directional_semivariogram", "JointFit", "joint_fit",
           "EngineError"]
