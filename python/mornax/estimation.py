"""Estimation at nodes and leave-one-out cross-validation.

Each method is a predictor: it checks its parameters, copies the points (merging
coincident ones), prepares what the method needs (the trend surface, the scaled
guesses) and indexes the points once; ``predict`` then estimates at as many
networks as wanted and ``cross_validate`` re-estimates every data point from
the others. The functions ``krige``, ``weight``, ``trend`` and ``bayes`` do
both steps in one call.

Nodes are a ``Grid``, an xarray object with 1-D ``x`` and ``y`` coordinates
(both give an ``xarray.Dataset``), or a pair ``(x, y)`` of arrays of one shape
(giving ``Estimates`` whose arrays have that shape).
"""

import threading

import numpy as np

from . import _engine
from ._errors import check_report
from ._progress import progress_callback
from .models import KRho, VariogramModel
from .points import Grid, as_points, as_values, grid_of_xarray, is_xarray

# Status of each estimate.
ESTIMATED, SINGULAR, NON_FINITE, NOT_ESTIMATED, MERGED = 0, 1, 2, 3, 4

SCALINGS = {"none": 0, "window": 1, "mean": 2, "linear": 3}

WEIGHTING_SCHEMES = {
    1: "1/d",
    2: "(1 - d/(1.1 Dmax))^2 / (d/(1.1 Dmax))^2",
    3: "exp(-a d)",
    4: "1/d^2",
    5: "exp(-a d^2) / (d^2 + e)",
    6: "exp(-1/d^2) / (d^2 + e)",
}


class Estimates:
    """Estimates at nodes given as arrays, each of the nodes' shape.

    ``estimate``; ``standard_error`` (kriging, Bayes; else None); ``guess``
    (Bayes: the scaled guess; else None); ``last_neighbour_distance`` (the
    farthest neighbour used; NaN for the trend surface); ``status`` (uint8:
    ESTIMATED, SINGULAR, NON_FINITE, NOT_ESTIMATED, MERGED).
    """

    def __init__(self, result, shape):
        def shaped(name):
            values = result[name]
            return values.reshape(shape) if values.size else None

        self.estimate = shaped("estimate")
        self.standard_error = shaped("standard_error")
        self.guess = shaped("guess")
        self.last_neighbour_distance = shaped("last_neighbour_distance")
        self.status = shaped("status")

    def __repr__(self):
        return f"Estimates(shape={self.estimate.shape})"


class CrossValidation(Estimates):
    """Leave-one-out estimates of the data points, in their order.

    Besides the ``Estimates`` arrays: ``residual`` (estimate - measured, the
    merged mean for merged points) and ``statistics`` (count, average,
    root_mean_square, greatest, mean_absolute, standard_error).
    """

    def __init__(self, result):
        super().__init__(result, (result["estimate"].size,))
        self.residual = result["residual"]
        self.statistics = dict(result["statistics"])

    def __repr__(self):
        s = self.statistics
        return f"CrossValidation({s['count']} points, RMSE {s['root_mean_square']:.6g})"


class _Nodes:
    """Flat node coordinates and how to give the results back."""

    def __init__(self, nodes, guess, crs):
        self.guess = None
        self.grid = None
        if isinstance(nodes, Grid):
            self.x_axis, self.y_axis = nodes.x, nodes.y
            self.crs = nodes.crs if nodes.crs is not None else crs
            self.grid = True
        elif is_xarray(nodes):
            self.x_axis, self.y_axis, own = grid_of_xarray(nodes)
            self.crs = own if own is not None else crs
            self.grid = True
        elif isinstance(nodes, (tuple, list)) and len(nodes) == 2:
            x, y = (np.asarray(a) for a in nodes)
            if x.shape != y.shape:
                raise ValueError(f"node x and y differ in shape: {x.shape} and {y.shape}")
            self.shape = x.shape
            self.x = as_values(x.ravel(), "node x")
            self.y = as_values(y.ravel(), "node y")
        else:
            raise TypeError("nodes must be a mornax.Grid, an xarray object with x and y "
                            "coordinates, or a pair (x, y) of arrays")
        if self.grid:
            self.shape = (self.y_axis.size, self.x_axis.size)
            gx, gy = np.meshgrid(self.x_axis, self.y_axis)
            self.x, self.y = gx.ravel(), gy.ravel()
        if guess is not None:
            values = np.asarray(guess.values if is_xarray(guess) else guess, dtype=np.float64)
            if values.shape != self.shape:
                raise ValueError(f"the node guesses have shape {values.shape}, the nodes "
                                 f"{self.shape}")
            self.guess = as_values(values.ravel(), "node guess")

    def results(self, result):
        if not self.grid:
            return Estimates(result, self.shape)
        return to_dataset(result, self.x_axis, self.y_axis, self.crs)


def to_dataset(result, x, y, crs):
    """An xarray.Dataset of flat results (row-major over y, x) with the CRS written."""
    import xarray as xr

    shape = (y.size, x.size)
    data = {}
    for name in ("estimate", "standard_error", "guess", "last_neighbour_distance", "status"):
        values = result[name]
        if values.size:
            data[name] = (("y", "x"), values.reshape(shape))
    dataset = xr.Dataset(data, coords={"x": x, "y": y})
    if crs is not None:
        import rioxarray  # noqa: F401  (the .rio accessor)

        dataset = dataset.rio.write_crs(crs)
        for name in data:
            if name != "status":
                dataset[name] = dataset[name].rio.write_nodata(np.nan, encoded=False)
    return dataset


class Predictor:
    """The common part of the four methods (use Kriging, Weighting, Trend, Bayes)."""

    _label = "estimation"

    def __init__(self, factory, points, threads, progress, cancel):
        self.points = points
        # The engine's predictor serves one call at a time; calls from several
        # threads take turns.
        self._lock = threading.Lock()
        with progress_callback(progress, self._label) as callback:
            self._engine = factory(progress=callback, cancel=cancel, threads=int(threads or 0))
        check_report(self._engine.preparation)

    @property
    def point_count(self):
        """Data points after merging coincident ones."""
        return self._engine.point_count

    def predict(self, nodes, *, guess=None, threads=None, progress=None, cancel=None):
        """Estimates at ``nodes`` (see the module's help for the forms of nodes)."""
        target = _Nodes(nodes, guess, self.points.crs)
        self._check_guess(target)
        with self._lock, progress_callback(progress, self._label) as callback:
            r = self._engine.predict(target.x, target.y, target.guess, progress=callback,
                                     cancel=cancel, threads=int(threads or 0))
        check_report(r["report"], r["cancelled"])
        return target.results(r)

    def cross_validate(self, *, threads=None, progress=None, cancel=None):
        """Each data point estimated from the others (the trend surface keeps it)."""
        with self._lock, progress_callback(progress, self._label) as callback:
            r = self._engine.analyse(progress=callback, cancel=cancel, threads=int(threads or 0))
        check_report(r["report"], r["cancelled"])
        return CrossValidation(r)

    def _check_guess(self, target):
        if target.guess is not None:
            raise ValueError(f"{type(self).__name__} takes no node guesses")


class Kriging(Predictor):
    """Kriging with a semivariogram model.

    ``order``: 0 ordinary, 1 linear drift, 2 quadratic drift; ``neighbours``:
    the nearest points of each system; ``log``: krige the logarithms, estimates
    back in data units.
    """

    _label = "kriging"

    def __init__(self, points, model, *, order=0, neighbours=6, log=False, threads=None,
                 progress=None, cancel=None):
        points = as_points(points)
        if not isinstance(model, VariogramModel):
            raise TypeError("model must be a mornax.VariogramModel (Fit.variogram() gives one)")
        self.model, self.order, self.neighbours, self.log = model, order, neighbours, log
        super().__init__(
            lambda **hooks: _engine.Predictor.kriging(points.x, points.y, points.value,
                                                      model.engine(), int(order),
                                                      int(neighbours), bool(log), **hooks),
            points, threads, progress, cancel)


class Weighting(Predictor):
    """Distance weighting: the weighted mean of the ``neighbours`` nearest values.

    Schemes (d the distance, Dmax the farthest neighbour's): 1 1/d,
    2 (1 - d/(1.1 Dmax))^2 / (d/(1.1 Dmax))^2, 3 exp(-a d), 4 1/d^2,
    5 exp(-a d^2) / (d^2 + e), 6 exp(-1/d^2) / (d^2 + e).
    """

    _label = "weighting"

    def __init__(self, points, *, scheme=1, neighbours=4, threads=None, progress=None,
                 cancel=None):
        points = as_points(points)
        self.scheme, self.neighbours = scheme, neighbours
        super().__init__(
            lambda **hooks: _engine.Predictor.weighting(points.x, points.y, points.value,
                                                        int(scheme), int(neighbours), **hooks),
            points, threads, progress, cancel)


class Trend(Predictor):
    """The least-squares polynomial trend surface of ``degree`` (1-9).

    ``coefficients`` for raw x and y, terms 1, x, y, x^2, xy, y^2, ... (degree by
    degree, falling powers of x); ``fitted`` at the data points;
    ``analysis_of_variance`` (sums of squares, freedoms, mean squares, f_test,
    goodness, correlation). Callable as ``surface(x, y)``.
    """

    _label = "trend surface"

    def __init__(self, points, *, degree=2, threads=None, progress=None, cancel=None):
        points = as_points(points)
        super().__init__(
            lambda **hooks: _engine.Predictor.trend(points.x, points.y, points.value,
                                                    int(degree), **hooks),
            points, threads, progress, cancel)
        fit = self._engine.trend_fit
        self.degree = fit["degree"]
        self.coefficients = fit["coefficients"]
        self.fitted = fit["fitted"]
        self.analysis_of_variance = dict(fit["analysis_of_variance"])

    def __call__(self, x, y):
        return self.predict((x, y)).estimate


class Bayes(Predictor):
    """Bayesian estimation: the prior guesses corrected by the residuals at the neighbours.

    ``model`` is a ``KRho`` or a ``VariogramModel`` (models 1-5) of the
    observations; a ``VariogramModel`` needs ``guess_model``, the guesses'
    semivariogram of the same model (its own sill, a, c, nugget, anisotropy and
    further structures; the neighbour search follows the observations'). The points
    need guesses, and so do the nodes (``guess=`` of
    ``predict``). ``scale_guess``: "none", "window" (the mean error of each
    window), "mean" (the mean error of all points) or "linear" (a linear trend of
    the error over the guesses), or 0-3.
    """

    _label = "Bayesian estimation"

    def __init__(self, points, model, guess_model=None, *, neighbours=8, scale_guess="linear",
                 log=False, threads=None, progress=None, cancel=None):
        points = as_points(points)
        if points.guess is None:
            raise ValueError("Bayesian estimation needs points with guesses")
        # Unused members keep the engine's defaults.
        unused = _engine.Variogram(0, 0.0, 0.0, 0.0, 0.0)
        if isinstance(model, KRho):
            if guess_model is not None:
                raise ValueError("the k_Rho model takes no guess_model")
            observation = _engine.Variogram(6, 1107.0, 2000.0, 1107.0, 0.0,
                                            _engine.Anisotropy(model.angle, model.ratio))
            guessed = unused
            krho = model.engine()
        elif isinstance(model, VariogramModel):
            if not isinstance(guess_model, VariogramModel) or guess_model.model != model.model:
                raise ValueError(f"a {model.name} model needs guess_model, a "
                                 f"{model.name} VariogramModel of the guesses")
            observation, krho = model.engine(), KRho(0.67, 43.6, 0.79, 200.0).engine()
            guessed = guess_model.engine()
            guessed.model = 0  # the observations' model
        else:
            raise TypeError("model must be a mornax.KRho or a mornax.VariogramModel")
        scaling = SCALINGS.get(scale_guess, scale_guess) if isinstance(scale_guess, str) \
            else scale_guess
        if scaling not in (0, 1, 2, 3):
            raise ValueError(f"scale_guess must be one of {list(SCALINGS)} or 0-3")
        self.model, self.neighbours, self.scale_guess, self.log = model, neighbours, scaling, log
        super().__init__(
            lambda **hooks: _engine.Predictor.bayes(points.x, points.y, points.value,
                                                    points.guess, observation, guessed, krho,
                                                    int(neighbours), int(scaling), bool(log),
                                                    **hooks),
            points, threads, progress, cancel)

    def _check_guess(self, target):
        if target.guess is None:
            raise ValueError("Bayesian estimation needs the nodes' guesses (guess=...)")


def krige(points, nodes, model, *, order=0, neighbours=6, log=False, threads=None,
          progress=None, cancel=None):
    """Kriging of ``points`` at ``nodes`` (see Kriging)."""
    return Kriging(points, model, order=order, neighbours=neighbours, log=log,
                   threads=threads, cancel=cancel).predict(nodes, threads=threads,
                                                           progress=progress, cancel=cancel)


def weight(points, nodes, *, scheme=1, neighbours=4, threads=None, progress=None,
           cancel=None):
    """Distance weighting of ``points`` at ``nodes`` (see Weighting)."""
    return Weighting(points, scheme=scheme, neighbours=neighbours, threads=threads,
                     cancel=cancel).predict(nodes, threads=threads, progress=progress,
                                            cancel=cancel)


def trend(points, nodes, *, degree=2, threads=None, progress=None, cancel=None):
    """The trend surface of ``points`` at ``nodes`` (see Trend)."""
    return Trend(points, degree=degree, threads=threads, cancel=cancel).predict(
        nodes, threads=threads, progress=progress, cancel=cancel)


def bayes(points, nodes, model, guess_model=None, *, guess, neighbours=8, scale_guess="linear",
          log=False, threads=None, progress=None, cancel=None):
    """Bayesian estimation of ``points`` at ``nodes`` with the nodes' ``guess`` (see Bayes)."""
    return Bayes(points, model, guess_model, neighbours=neighbours, scale_guess=scale_guess, log=log,
                 threads=threads, cancel=cancel).predict(nodes, guess=guess, threads=threads,
                                                         progress=progress, cancel=cancel)


METHODS = {"kriging": Kriging, "weighting": Weighting, "trend": Trend, "bayes": Bayes}


def cross_validate(points, method, *args, threads=None, progress=None, cancel=None, **kwargs):
    """Leave-one-out cross-validation of ``method`` ("kriging", "weighting", "trend",
    "bayes"), whose arguments follow as for its class."""
    try:
        cls = METHODS[method]
    except KeyError:
        raise ValueError(f"method must be one of {list(METHODS)}") from None
    return cls(points, *args, threads=threads, cancel=cancel, **kwargs).cross_validate(
        threads=threads, progress=progress, cancel=cancel)
