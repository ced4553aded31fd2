"""Tiles on a Dask cluster give the untiled result, bit for bit."""

import numpy as np
import pytest

import mornax as mx

distributed = pytest.importorskip("distributed")
pytestmark = pytest.mark.filterwarnings("ignore::mornax.MergedPointsWarning")


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                       dashboard_address=None)
    with distributed.Client(cluster) as client:
        yield client
    cluster.close()


@pytest.fixture(scope="module")
def clustered():
    """Clustered points, whose tiles see other neighbours without a margin."""
    rng = np.random.default_rng(3)
    centres = rng.uniform(0, 5000, (12, 2))
    pick = rng.integers(0, 12, 3000)
    x = centres[pick, 0] + rng.normal(0, 250, pick.size)
    y = centres[pick, 1] + rng.normal(0, 250, pick.size)
    x[:40] = x[40:80]  # coincident points are merged the same way in every tile
    y[:40] = y[40:80]
    return mx.Points(x, y, np.sin(x / 500) + y / 2000, guess=y / 2000, crs="EPSG:32633")


GRID = mx.Grid(-300.3, -300.7, 40.1, 141, 137)  # a spacing that rounds
MODEL = mx.VariogramModel.spherical(2.0, 2000.0, 0.1)
# The search ellipse reaches 1 / 0.3 times farther across the axis than along it.
ANISOTROPIC = mx.VariogramModel.spherical(2.0, 2000.0, 0.1, angle=30.0, ratio=0.3,
                                          structures=[(3, 0.5, 300.0, 120.0, 0.5)])
GUESS = (GRID.nodes()[1] / 2000).reshape(GRID.shape)

CASES = [
    ("kriging", (MODEL,), dict(neighbours=16, order=1), {}, dict(margin=5.0)),
    ("kriging", (ANISOTROPIC,), dict(neighbours=16, order=1), {}, dict(margin=5.0)),
    ("weighting", (), dict(scheme=2, neighbours=6), {}, {}),
    ("bayes", (MODEL, MODEL), dict(neighbours=8, scale_guess="window"), dict(guess=GUESS),
     dict(guess=GUESS)),
]


@pytest.mark.parametrize("method, args, kwargs, whole_extra, tile_extra", CASES)
def test_tiles_are_the_untiled_result(client, clustered, method, args, kwargs, whole_extra,
                                      tile_extra):
    whole = {"kriging": mx.krige, "weighting": mx.weight, "bayes": mx.bayes}[method](
        clustered, GRID, *args, **kwargs, **whole_extra)
    with pytest.warns(mx.MergedPointsWarning):  # the check on the client's sample
        tiles = mx.tiled(clustered, GRID, method, *args, client=client, tile=(40, 50),
                         **kwargs, **tile_extra)
    for name in whole.data_vars:
        assert tiles[name].values.tobytes() == whole[name].values.tobytes(), name
    assert tiles.rio.crs == whole.rio.crs and tiles.attrs["tiles"] == 12
    if "margin" in tile_extra:
        assert tiles.attrs["widened_nodes"] > 0


def test_geotiff_and_vrt_outputs(client, clustered, tmp_path):
    import rioxarray

    whole = mx.krige(clustered, GRID, MODEL, neighbours=12)
    for name in ("one.tif", "mosaic.vrt"):
        path, info = mx.tiled(clustered, GRID, "kriging", MODEL, neighbours=12, client=client,
                              tile=64, output=tmp_path / name)
        raster = rioxarray.open_rasterio(path)
        assert raster.rio.crs.to_epsg() == 32633 and info["tiles"] == 9
        np.testing.assert_array_equal(raster.values[0], whole.estimate.values)
        np.testing.assert_array_equal(raster.values[1], whole.standard_error.values)
        np.testing.assert_array_equal(raster.x.values, whole.x.values)


def test_global_guess_scalings_are_refused(clustered):
    with pytest.raises(ValueError, match="scale_guess"):
        mx.tiled(clustered, GRID, "bayes", MODEL, MODEL, scale_guess="linear", guess=GUESS)
