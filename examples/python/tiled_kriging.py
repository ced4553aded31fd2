"""Kriging a large grid as exact tiles on a local Dask cluster.

    python3 tiled_kriging.py [OUTPUT.tif] [--points N] [--nodes-per-side M] [--workers W] [--tile T]

Draws N points of a smooth field, kriges an M x M grid over them as tiles on a
LocalCluster of W workers, writes the result to a GeoTIFF from the workers, and
checks the tiles against one untiled run (bit for bit) when the grid is small
enough to krige in one piece here.
"""

import argparse
import time

import numpy as np
import rioxarray
from distributed import Client, LocalCluster

import mornax


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default="tiled-kriging.tif")
    parser.add_argument("--points", type=int, default=20_000)
    parser.add_argument("--nodes-per-side", type=int, default=600)
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--tile", type=int, default=512, help="nodes per tile side")
    options = parser.parse_args()

    rng = np.random.default_rng(11)
    x, y = rng.uniform(0, 50_000, options.points), rng.uniform(0, 50_000, options.points)
    value = np.sin(x / 4000) * np.cos(y / 6000) * 10 + rng.normal(0, 0.5, x.size)
    points = mornax.Points(x, y, value, crs="EPSG:32633")
    side = options.nodes_per_side
    grid = mornax.Grid(0, 0, 50_000 / (side - 1), side, side)
    model = mornax.VariogramModel.spherical(sill=12.0, range=9000.0, nugget=0.25)

    cluster = LocalCluster(n_workers=options.workers, threads_per_worker=1, processes=True,
                           dashboard_address=None)
    with Client(cluster) as client:
        start = time.perf_counter()
        path, info = mornax.tiled(points, grid, "kriging", model, neighbours=16, tile=options.tile,
                                  client=client, output=options.output)
        print(f"{grid} in {info['tiles']} tiles: {time.perf_counter() - start:.2f} s "
              f"({info['widened_nodes']} nodes estimated again with a wider margin) -> {path}")
    cluster.close()

    if side * side <= 4_000_000:
        whole = mornax.krige(points, grid, model, neighbours=16)
        tiles = rioxarray.open_rasterio(path)
        same = tiles.values[0].tobytes() == whole.estimate.values.tobytes()
        print("tiles equal the untiled run bit for bit:", same)
        if not same:
            raise SystemExit(1)


if __name__ == "__main__":
    main()
