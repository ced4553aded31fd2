"""Threads, interruption, cancellation, errors, warnings, shapes and grids."""

import copy
import math
import signal
import subprocess
import sys
import threading
import time
import warnings

import numpy as np
import pytest

import mornax as mx


def field(n, seed=7):
    rng = np.random.default_rng(seed)
    x, y = rng.uniform(0, 10_000, n), rng.uniform(0, 10_000, n)
    return mx.Points(x, y, np.sin(x / 900) * 20 + y / 300 + rng.normal(0, 1, n))


MODEL = mx.VariogramModel.spherical(sill=60.0, range=3000.0, nugget=1.0)


def test_same_bits_for_any_thread_count():
    points = field(3000)
    grid = mx.Grid(0, 0, 200, 51, 40)
    results = [mx.krige(points, grid, MODEL, order=1, neighbours=16, threads=t) for t in (1, 2, 3)]
    for other in results[1:]:
        for name in ("estimate", "standard_error", "last_neighbour_distance"):
            assert results[0][name].values.tobytes() == other[name].values.tobytes()
    bits = {mx.weight(points, grid, scheme=5, threads=t).estimate.values.tobytes()
            for t in (1, 2)}
    assert len(bits) == 1


INTERRUPTED = """
import sys, numpy as np, mornax as mx
rng = np.random.default_rng(1)
p = mx.Points(rng.uniform(0, 1e4, 100000), rng.uniform(0, 1e4, 100000), rng.normal(size=100000))
g = mx.Grid(0, 0, 5, 2000, 2000)
started = []
def progress(done, total):
    if not started:
        started.append(1)
        print("computing", flush=True)
result = None
try:
    result = mx.krige(p, g, mx.VariogramModel.spherical(1, 3000), neighbours=16, threads=2,
                      progress=progress)
except KeyboardInterrupt:
    print("interrupted", result is None, flush=True)
"""


def test_ctrl_c_raises_keyboard_interrupt_promptly():
    process = subprocess.Popen([sys.executable, "-c", INTERRUPTED], stdout=subprocess.PIPE,
                               text=True)
    try:
        assert process.stdout.readline().strip() == "computing"
        time.sleep(0.3)
        sent = time.monotonic()
        process.send_signal(signal.SIGINT)
        out, _ = process.communicate(timeout=30)
        elapsed = time.monotonic() - sent
    finally:
        process.kill()
    assert out.strip() == "interrupted True"
    assert elapsed < 1.5


def test_cancel_event_from_another_thread():
    points = field(20_000)
    predictor = mx.Kriging(points, MODEL, neighbours=16)
    cancel = threading.Event()
    calls = []

    def progress(done, total):
        calls.append(time.monotonic())
        if len(calls) == 1:
            threading.Timer(0.05, cancel.set).start()

    with pytest.raises(mx.Cancelled):
        predictor.predict(mx.Grid(0, 0, 5, 2000, 2000), progress=progress, cancel=cancel,
                          threads=1)
    # Progress comes at most about ten times a second (and once more at the end).
    assert len(calls) < 3 or np.diff(calls[:-1]).min() > 0.05
    # The predictor is still usable.
    assert predictor.predict(([5000.0], [5000.0])).estimate.shape == (1,)


ENGINE_REFUSALS = [
    (lambda p: mx.krige(p, ([1.0], [1.0]), MODEL, order=5), 104, "Order of Kriging not valid"),
    (lambda p: mx.weight(p, ([1.0], [1.0]), scheme=9), 103, "Interpolation Scheme not valid"),
    (lambda p: mx.Trend(p, degree=12), 106, "Degree of Trendsurface not valid"),
    (lambda p: mx.krige(mx.Points(p.x, p.y, p.value - 50), ([1.0], [1.0]), MODEL, log=True),
     206, None),
    (lambda p: mx.krige(p, ([1.0], [1.0]), _with(MODEL, ratio=0.0)), 107,
     "Parameter ratio not valid, must be > 0 and <= 1 : 0"),
]


def _with(model, **terms):
    """The model with terms set past the package's own checks (the engine's refusal)."""
    model = copy.copy(model)
    for name, value in terms.items():
        setattr(model, name, value)
    return model


@pytest.mark.parametrize("call, code, text", ENGINE_REFUSALS)
def test_engine_refusals_carry_the_engines_text(call, code, text):
    with pytest.raises(mx.EngineError) as error:
        call(field(50))
    assert error.value.code == code and error.value.outcome == "refused"
    if text:
        assert str(error.value) == text


BAD_INPUT = [
    (lambda: mx.Points([1, 2], [1, 2], [1]), ValueError),
    (lambda: mx.Points(np.zeros((2, 2)), np.zeros(4), np.zeros(4)), ValueError),
    (lambda: mx.Points(["a", "b"], [1, 2], [1, 2]), TypeError),
    (lambda: mx.krige(field(20), (np.zeros(3), np.zeros(4)), MODEL), ValueError),
    (lambda: mx.krige(field(20), [1, 2, 3], MODEL), TypeError),
    (lambda: mx.krige(field(20), ([1.0], [1.0]), "spherical"), TypeError),
    (lambda: mx.Bayes(field(20), MODEL), ValueError),
    (lambda: mx.VariogramModel("cubic"), ValueError),
    (lambda: mx.VariogramModel.spherical(1.0, 10.0, ratio=0.0), ValueError),
    (lambda: mx.VariogramModel.spherical(1.0, 10.0, structures=[(2, 1, 5)] * 3), ValueError),
    (lambda: mx.VariogramModel.spherical(1.0, 10.0, structures=[(2, 1, 5, 0, 1.5)]), ValueError),
    (lambda: mx.VariogramModel.spherical(1.0, 10.0, structures=[2]), TypeError),
]


@pytest.mark.parametrize("call, exception", BAD_INPUT)
def test_wrong_shapes_and_types(call, exception):
    with pytest.raises(exception):
        call()


def test_merges_and_singular_systems_warn_with_counts():
    x = np.arange(10.0)
    line = mx.Points(np.r_[x, 3.0, 5.0], np.zeros(12), np.r_[x * 2, 1.0, 2.0])
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        result = mx.krige(line, (np.array([2.5, 3.5, 4.0]), np.array([1.0, 0.0, 2.0])),
                          MODEL, order=1, neighbours=4)
    by_class = {type(w.message): w for w in caught}
    assert by_class[mx.MergedPointsWarning].message.count == 2
    assert by_class[mx.SingularSystemWarning].message.count == 3
    assert by_class[mx.SingularSystemWarning].filename == __file__
    assert np.isnan(result.estimate).all() and (result.status == mx.SINGULAR).all()


def test_grid_gives_a_dataset_with_the_crs_and_xarray_nodes_round_trip(tmp_path):
    points = field(500)
    points.crs = "EPSG:32633"
    grid = mx.Grid(100, 200, 250, 8, 5)
    dataset = mx.krige(points, grid, MODEL)
    assert dataset.estimate.shape == (5, 8)
    assert dataset.rio.crs.to_epsg() == 32633
    assert dataset.y.values[0] == 200 + 4 * 250 and dataset.x.values[-1] == 100 + 7 * 250
    at = mx.krige(points, ([dataset.x.values[2]], [dataset.y.values[3]]), MODEL)
    assert at.estimate[0] == dataset.estimate.values[3, 2]
    again = mx.krige(points, dataset.estimate, MODEL)  # an xarray object as nodes
    assert again.estimate.values.tobytes() == dataset.estimate.values.tobytes()
    path = tmp_path / "k.tif"
    dataset.estimate.rio.to_raster(path)
    import rioxarray

    back = rioxarray.open_rasterio(path).squeeze()
    np.testing.assert_array_equal(back.values, dataset.estimate.values)


def test_points_from_a_geodataframe_keep_their_crs():
    import geopandas

    frame = geopandas.GeoDataFrame({"level": [1.0, 2.0, 3.0]},
                                   geometry=geopandas.points_from_xy([0, 1, 2], [5, 6, 7]),
                                   crs="EPSG:3035")
    points = mx.Points.from_geodataframe(frame, value="level")
    assert list(points.y) == [5, 6, 7] and points.crs.to_epsg() == 3035


def test_predictor_is_prepared_once_and_predicts_many_times():
    points = field(400)
    predictor = mx.Kriging(points, MODEL, order=1, neighbours=10)
    whole = predictor.predict(mx.Grid(0, 0, 500, 21, 21))
    part = predictor.predict(mx.Grid(0, 5000, 500, 21, 11))
    np.testing.assert_array_equal(whole.estimate.values[:11], part.estimate.values)
    assert predictor.point_count == 400


# Published variogram formulas of two libraries (h distance, p partial sill,
# r range, n nugget), written out here to check the converters against.
def pykrige_formula(name, p, r, n, h):
    if name == "spherical":
        return np.where(h <= r, p * (1.5 * h / r - 0.5 * h ** 3 / r ** 3) + n, p + n)
    if name == "exponential":
        return p * (1 - np.exp(-h / (r / 3))) + n
    return p * (1 - np.exp(-h ** 2 / (4 * r / 7) ** 2)) + n


def gstools_formula(name, var, length, n, h):
    if name == "spherical":
        s = h / length
        return var * np.where(s < 1, 1.5 * s - 0.5 * s ** 3, 1.0) + n
    if name == "exponential":
        return var * (1 - np.exp(-h / length)) + n
    return var * (1 - np.exp(-(math.sqrt(math.pi) / 2 * h / length) ** 2)) + n


@pytest.mark.parametrize("name", ["spherical", "exponential", "gaussian"])
def test_converters_follow_the_published_formulas(name):
    h = np.array([1.0, 150.0, 400.0, 777.0, 1500.0])
    full = mx.from_pykrige(name, [12.0, 800.0, 2.0])  # full sill in a list
    partial = mx.from_pykrige(name, {"psill": 10.0, "range": 800.0, "nugget": 2.0})
    np.testing.assert_allclose(full(h), pykrige_formula(name, 10.0, 800.0, 2.0, h), rtol=1e-12)
    assert full == partial
    gst = mx.from_gstools(name, var=10.0, len_scale=300.0, nugget=2.0)
    np.testing.assert_allclose(gst(h), gstools_formula(name, 10.0, 300.0, 2.0, h), rtol=1e-12)
    linear = mx.from_pykrige("power", [3.0, 1.5, 0.5])
    np.testing.assert_allclose(linear(h), 3.0 * h ** 1.5 + 0.5, rtol=1e-12)


def test_fit_without_a_start_it_can_read_is_refused_with_the_reason():
    flat = mx.Semivariogram([100.0, 200.0], [1.0, 1.0], [10, 10])
    with pytest.raises(ValueError, match="at least 3"):
        mx.fit(flat, "exponential")
    # Given starting values and bounds, the classes are fitted as they are.
    given = mx.fit(mx.Semivariogram([100.0, 200.0, 300.0, 400.0], [1.0, 2.0, 2.9, 3.1],
                                    [5, 5, 5, 5]),
                   "exponential", initial=[3, 150, 0], minimum=[0.1, 10, 0],
                   maximum=[10, 1000, 0])
    assert given.start is None and given.b[2] == 0.0 and given.iterations > 0


def test_progress_bar_and_callback_reach_the_total():
    points = field(2000)
    seen = []
    mx.krige(points, mx.Grid(0, 0, 100, 100, 100), MODEL, progress=lambda d, t: seen.append(d))
    assert seen[-1] == 10_000
    mx.krige(points, mx.Grid(0, 0, 100, 10, 10), MODEL, progress=True)
