"""From wells to a kriged GeoTIFF and a map: semivariogram, fit, kriging.

    python3 wells_to_geotiff.py [OUTPUT_FOLDER] [--spacing METRES]

Reads ../wells/wells.csv (400 wells in UTM zone 33N) with GeoPandas, computes
the experimental semivariogram, fits a spherical model (its start read off the
semivariogram), kriges a grid over the wells, cross-validates, and writes
wells-kriging.tif (estimate and standard error) and wells-kriging.png.
"""

import argparse
import pathlib

import geopandas
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pandas  # noqa: E402

import mornax  # noqa: E402

HERE = pathlib.Path(__file__).resolve().parent


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default=".", type=pathlib.Path)
    parser.add_argument("--spacing", type=float, default=50.0)
    options = parser.parse_args()
    options.output.mkdir(parents=True, exist_ok=True)

    table = pandas.read_csv(HERE.parent / "wells" / "wells.csv")
    wells = geopandas.GeoDataFrame(table, geometry=geopandas.points_from_xy(table.x, table.y),
                                   crs="EPSG:32633")
    points = mornax.Points.from_geodataframe(wells, value="level")

    semivariogram = mornax.semivariogram(points, lag=250.0, count=16)
    fit = mornax.fit(semivariogram, "spherical")
    model = fit.variogram()
    print(f"{fit}\n{model}")

    grid = mornax.Grid.covering(points, options.spacing)
    kriged = mornax.krige(points, grid, model, neighbours=16, progress=True)
    check = mornax.cross_validate(points, "kriging", model, neighbours=16)
    print(f"{grid}: estimate {float(kriged.estimate.min()):.2f} to "
          f"{float(kriged.estimate.max()):.2f}; cross-validation RMSE "
          f"{check.statistics['root_mean_square']:.3f}")

    tif = options.output / "wells-kriging.tif"
    kriged[["estimate", "standard_error"]].rio.to_raster(tif)

    figure, (left, right) = plt.subplots(1, 2, figsize=(12, 5))
    h = np.linspace(0.0, semivariogram.distance.max(), 200)
    left.plot(semivariogram.distance, semivariogram.semivariance, "o", label="experimental")
    left.plot(h, model(h), "-", label=f"{model.name}: sill {model.sill:.2f}, "
              f"range {model.a:.0f} m, nugget {model.nugget:.2f}")
    left.set(xlabel="distance (m)", ylabel="semivariance", title="Semivariogram")
    left.legend()
    kriged.estimate.plot(ax=right, cmap="viridis", cbar_kwargs={"label": "level"})
    right.scatter(points.x, points.y, s=4, c="white", edgecolors="black", linewidths=0.3)
    right.set(title="Kriged level", aspect="equal")
    right.ticklabel_format(useOffset=False, style="plain")
    figure.tight_layout()
    png = options.output / "wells-kriging.png"
    figure.savefig(png, dpi=110)
    print(f"wrote {tif} and {png}")


if __name__ == "__main__":
    main()
