"""The package's numbers are the batch tool's, to the digits its files print."""

import os
import subprocess

import numpy as np
import pytest

import mornax as mx
from conftest import f32, numbers

# The example project's parameters (SITE1.mnx), as the document holds them.
SPHERICAL = mx.VariogramModel.spherical(f32(33), f32(5000), f32(0.66))
GUESSES = mx.VariogramModel(2, f32(20), f32(3000), f32(14), f32(6.1))
ROWS = [0, 1, 217, 399]

INTERPOLATION = [
    # (batch arguments, estimation, columns of .dat compared after x and y)
    (("kriging", "--interpolate"),
     lambda p, n, g: mx.krige(p, n, SPHERICAL, order=1, neighbours=12),
     ["estimate", "standard_error"]),
    (("kriging", "--interpolate", "krigOrder=2", "krigPoints=9"),
     lambda p, n, g: mx.krige(p, n, SPHERICAL, order=2, neighbours=9),
     ["estimate", "standard_error"]),
    (("weighting", "--interpolate", "dwScheme=3"),
     lambda p, n, g: mx.weight(p, n, scheme=3, neighbours=8), ["estimate"]),
    (("weighting", "--interpolate", "dwScheme=5", "dwPoints=5"),
     lambda p, n, g: mx.weight(p, n, scheme=5, neighbours=5), ["estimate"]),
    (("bayes", "--interpolate"),
     lambda p, n, g: mx.bayes(p, n, SPHERICAL, GUESSES, guess=g, neighbours=10,
                              scale_guess="mean"),
     ["estimate", "guess", "standard_error"]),
    (("bayes", "--interpolate", "bayesModel=6", "scaleGuess=3"),
     lambda p, n, g: mx.bayes(p, n, mx.KRho(f32(0.67), f32(43.6), f32(0.79), f32(250)),
                              guess=g, neighbours=10, scale_guess="linear"),
     ["estimate", "guess", "standard_error"]),
]


@pytest.mark.parametrize("arguments, estimate, columns", INTERPOLATION)
def test_interpolation_matches_the_result_file(batch, site1, arguments, estimate, columns):
    lines = (batch(*arguments) / "SITE1.dat").read_text().splitlines()[1:]
    points, nodes, node_guess = site1
    result = estimate(points, nodes, node_guess)
    for row in ROWS:
        expected = numbers(lines[row])[2:2 + len(columns)]
        got = [f"{getattr(result, c)[row]:.5f}" for c in columns]
        assert got == [f"{v:.5f}" for v in expected], (arguments, row)


# The document's anisotropy and second structure (set on SITE1.mnx) as a model.
ANISOTROPIC = ("angle=30", "ratio=0.4", "structure2Model=3", "structure2C=5", "structure2A=40",
               "structure2Angle=100", "structure2Ratio=0.5")
NESTED = mx.VariogramModel.spherical(f32(33), f32(5000), f32(0.66), angle=30, ratio=0.4,
                                     structures=[(3, 5, 40, 100, 0.5)])
ANISOTROPIC_RUNS = [
    (("kriging", "--interpolate"),
     lambda p, n, g: mx.krige(p, n, NESTED, order=1, neighbours=12),
     ["estimate", "standard_error"]),
    (("kriging", "--interpolate", "krigOrder=0"),
     lambda p, n, g: mx.krige(p, n, NESTED, order=0, neighbours=12),
     ["estimate", "standard_error"]),
]


@pytest.mark.parametrize("arguments, estimate, columns", ANISOTROPIC_RUNS)
def test_anisotropic_nested_run_matches_the_result_file(batch, site1, arguments, estimate,
                                                        columns):
    batch.tool("set", "SITE1.mnx", *ANISOTROPIC)
    lines = (batch(*arguments) / "SITE1.dat").read_text().splitlines()[1:]
    points, nodes, node_guess = site1
    result = estimate(points, nodes, node_guess)
    isotropic = mx.krige(points, nodes, SPHERICAL, order=1, neighbours=12).estimate
    assert not np.array_equal(result.estimate, isotropic)  # the terms reach the engine
    for row in ROWS:
        expected = numbers(lines[row])[2:2 + len(columns)]
        got = [f"{getattr(result, c)[row]:.5f}" for c in columns]
        assert got == [f"{v:.5f}" for v in expected], (arguments, row)


def test_directions_match_the_batch_tables(batch, site1):
    folder = batch.tool("directions", "SITE1.mnx", "--directions", "30,120", "--map-cells", "3")
    text = (folder / "SITE1.vdr").read_text()
    tables, current = {}, None
    for line in text.splitlines():
        if "DIRECTION =" in line:
            current = tables.setdefault(float(line.split("=")[1].split()[0]), [])
        elif current is not None and line.split() and line.split()[0].isdigit():
            current.append(line.split())
    d = mx.directional_semivariogram(site1[0], [30, 120], lag=250, count=20, tolerance=45,
                                     map_cells=3)
    assert sorted(tables) == [30.0, 120.0]
    for direction, sector in d:
        rows = tables[direction]
        assert len(rows) == len(sector)
        for row in rows[1::6]:
            k = int(row[0]) - 1
            assert (int(row[1]), row[2], row[3]) == (
                sector.pairs[k], f"{sector.distance[k]:.2f}", f"{sector.semivariance[k]:.4f}")
    cells = [numbers(line) for line in (folder / "SITE1.vmp").read_text().splitlines()[4:]]
    assert len(cells) == d.map.size == 49
    for dx, dy, pairs, semivariance in cells:
        cell = d.map.sel(dx=dx, dy=dy)
        value = float(cell) if pairs else 0.0  # an empty cell is NaN
        assert int(cell.pairs) == pairs and f"{value:.4f}" == f"{semivariance:.4f}"
    assert np.isnan(d.map.sel(dx=0, dy=0))


def test_joint_fit_matches_the_batch_report(batch, site1):
    report = (batch.tool("directions", "SITE1.mnx", "--fit", "2") / "SITE1.jfr").read_text()
    printed = dict(line.split("=", 1) for line in report.splitlines()[3:8])
    d = mx.directional_semivariogram(site1[0], lag=250, count=20)
    fit = mx.joint_fit(d, "spherical")
    for k in range(3):
        assert fit.b[k] == pytest.approx(float(printed[f" B( {k + 1})"].split()[0]), rel=1e-7)
    assert f"{fit.angle:.4f}" == printed[" ANGLE "].split()[0]
    assert f"{fit.ratio:.6f}" == printed[" RATIO "].strip()
    model = fit.variogram()
    assert (model.angle, model.ratio) == (fit.angle, fit.ratio)
    assert np.isfinite(mx.krige(site1[0], site1[1], model).estimate).all()


CROSS_VALIDATION = [
    (("kriging", "--error-analysis"),
     lambda p: mx.cross_validate(p, "kriging", SPHERICAL, order=1, neighbours=12)),
    (("weighting", "--error-analysis", "dwScheme=2"),
     lambda p: mx.cross_validate(p, "weighting", scheme=2, neighbours=8)),
    (("weighting", "--error-analysis", "dwScheme=7"),
     lambda p: mx.cross_validate(p, "trend", degree=2)),
    (("bayes", "--error-analysis", "scaleGuess=1"),
     lambda p: mx.cross_validate(p, "bayes", SPHERICAL, GUESSES, neighbours=10,
                                 scale_guess="window")),
]


@pytest.mark.parametrize("arguments, analyse", CROSS_VALIDATION)
def test_cross_validation_matches_the_closing_block(batch, site1, arguments, analyse):
    text = (batch(*arguments) / "SITE1.lst").read_text()
    printed = dict(line.strip().split(" = ") for line in text.splitlines() if " Error = " in line)
    s = analyse(site1[0]).statistics
    for key, name in [("root_mean_square", "Root Mean Square Error"),
                      ("greatest", "Greatest Error"), ("mean_absolute", "Mean Absolute Error")]:
        expected = printed[name].strip()
        digits = len(expected.split("E")[0].split(".")[1])
        assert f"{s[key]:.{digits}E}" == expected, name
    assert s["count"] == 120


def test_trend_surface_analysis_of_variance(batch, site1):
    text = (batch("weighting", "--error-analysis", "dwScheme=7") / "SITE1.lst").read_text()
    regression = next(line for line in text.splitlines() if line.startswith(" Regression"))
    surface = mx.Trend(site1[0], degree=2)
    anova = surface.analysis_of_variance
    assert numbers(regression.split("Regression")[1]) == [
        round(anova["regression"], 2), anova["regression_freedom"],
        round(anova["regression_mean"], 2), round(anova["f_test"], 4)]
    # The surface is the polynomial of its coefficients, terms 1, x, y, x^2, xy, y^2.
    x, y = site1[0].x[:3], site1[0].y[:3]
    c = surface.coefficients
    polynomial = c[0] + c[1] * x + c[2] * y + c[3] * x * x + c[4] * x * y + c[5] * y * y
    np.testing.assert_allclose(surface(x, y), polynomial, rtol=1e-9)
    np.testing.assert_allclose(surface.fitted[:3], polynomial, rtol=1e-9)


def test_semivariogram_and_fit_match_the_files(batch, site1):
    folder = batch("variogram")
    classes = np.array([numbers(line) for line in
                        (folder / "SITE1.fit").read_text().splitlines()[2:]])
    sv = mx.semivariogram(site1[0], lag=f32(250), count=20)
    assert [f"{v:.4f}" for v in sv.distance] == [f"{v:.4f}" for v in classes[:, 0]]
    assert [f"{v:.4f}" for v in sv.semivariance] == [f"{v:.4f}" for v in classes[:, 1]]
    var_lines = (folder / "SITE1.var").read_text().splitlines()
    first = next(i for i, line in enumerate(var_lines) if "#points" in line) + 1
    assert list(sv.pairs[:3]) == [int(numbers(line)[1]) for line in var_lines[first:first + 3]]

    # The batch tool fits the classes of its .fit file; so does this fit.
    printed = batch("fit")
    b = [numbers(line.split("=")[1])[0] for line in (printed / "SITE1.sol").read_text()
         .splitlines() if "B(" in line]
    written = mx.Semivariogram(classes[:, 0], classes[:, 1], np.zeros(len(classes), int))
    result = mx.fit(written, "spherical", initial=[f32(32), f32(5000), f32(0.66)],
                    minimum=[f32(3.3), f32(250), 0], maximum=[f32(98), f32(10000), f32(16)],
                    classes=20)
    assert [f"{v:.6f}" for v in result.b[:1]] == [f"{v:.6f}" for v in b[:1]]
    assert f"{result.b[1]:.4f}" == f"{b[1]:.4f}" and result.converged
    np.testing.assert_allclose(result(result.distance), result.fitted)
    assert result.variogram().sill == pytest.approx(result.b[0] + result.b[2])


def test_fit_start_is_the_batch_tools(batch, site1):
    unset = [f"{k}{j}=0" for k in ("initial", "minimum", "maximum") for j in (1, 2, 3)]
    folder = batch("variogram")
    classes = np.array([numbers(line) for line in
                        (folder / "SITE1.fit").read_text().splitlines()[2:]])
    var_lines = (folder / "SITE1.var").read_text().splitlines()
    first = next(i for i, line in enumerate(var_lines) if "#points" in line) + 1
    pairs = [int(numbers(line)[1]) for line in var_lines[first:first + len(classes)]]
    start = mx.fit_start(mx.Semivariogram(classes[:, 0], classes[:, 1], pairs), "spherical")
    out = subprocess.run([os.environ["MORNAX_BATCH"], "run", "SITE1.mnx", "fit", *unset],
                         cwd=folder, capture_output=True, text=True).stdout
    printed = dict(item.split(" = ") for line in out.splitlines() if "initial" in line
                   for item in line.split("  ") if " = " in item)
    for j in range(3):
        for bound in ("initial", "minimum", "maximum"):
            expected = float(printed[f"{bound}{j + 1}"])
            assert getattr(start, bound)[j] == pytest.approx(expected, rel=1e-6, abs=1e-9)
    assert start.classes == 20
