"""The examples in examples/python run as written (at small sizes)."""

import subprocess
import sys

import numpy as np

from conftest import SOURCE

EXAMPLES = SOURCE / "examples" / "python"


def run(script, *arguments):
    done = subprocess.run([sys.executable, str(EXAMPLES / script), *arguments],
                          capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stderr
    return done.stdout


def test_wells_to_geotiff(tmp_path):
    import rioxarray

    out = run("wells_to_geotiff.py", str(tmp_path), "--spacing", "100")
    assert "Spherical" in out
    raster = rioxarray.open_rasterio(tmp_path / "wells-kriging.tif")
    assert raster.shape == (2, 60, 60) and raster.rio.crs.to_epsg() == 32633
    # The wells' levels lie around 50; so does every kriged estimate.
    assert 35 < float(np.nanmin(raster.values[0])) < float(np.nanmax(raster.values[0])) < 65
    assert (tmp_path / "wells-kriging.png").stat().st_size > 10_000


def test_tiled_kriging(tmp_path):
    out = run("tiled_kriging.py", str(tmp_path / "t.tif"), "--points", "3000",
              "--nodes-per-side", "300", "--tile", "128")
    assert "in 9 tiles" in out and "bit for bit: True" in out
