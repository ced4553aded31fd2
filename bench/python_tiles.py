"""Tiles on a local Dask cluster against one untiled run.

    PYTHONPATH=BUILD/python /usr/bin/python3 bench/python_tiles.py
        [--points 1000000] [--side 3163] [--tile 1024] [--workers 2] [--rounds 1]

Ordinary kriging (spherical, sill 40, C0 1, range 3000, 16 neighbours) of a
side x side grid (3163^2: 1.0e7 nodes) over 10 km x 10 km from N points of a
smooth field with noise: once untiled with mornax.krige on every core (into a
Dataset), once with mornax.tiled on a LocalCluster of W worker processes with
one thread each (into a Dataset on the client). Prints both times, whether
the two are the same bits, the nodes estimated again with a wider margin, and
the peak resident memory of the client and of each worker.
"""

import argparse
import resource
import time

import numpy as np


def peak_rss_mb():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--side", type=int, default=3163)
    parser.add_argument("--tile", type=int, default=1024)
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--rounds", type=int, default=1)
    options = parser.parse_args()

    import mornax
    from distributed import Client, LocalCluster

    rng = np.random.default_rng(2024)
    x, y = rng.uniform(0, 10_000, options.points), rng.uniform(0, 10_000, options.points)
    value = (x / 1000 + 3 * np.sin(x / 1500) * np.cos(y / 2000) + rng.normal(0, 0.5, x.size))
    points = mornax.Points(x, y, value, crs="EPSG:32633")
    side = options.side
    grid = mornax.Grid(0, 0, 10_000 / (side - 1), side, side)
    model = mornax.VariogramModel.spherical(sill=40.0, range=3000.0, nugget=1.0)
    print(f"{options.points} points, {grid} = {side * side:.3g} nodes, tiles of "
          f"{options.tile}^2 on {options.workers} workers")

    cluster = LocalCluster(n_workers=options.workers, threads_per_worker=1, processes=True,
                           dashboard_address=None)
    client = Client(cluster)
    untiled, tiled = [], []
    for _ in range(options.rounds):
        start = time.perf_counter()
        whole = mornax.krige(points, grid, model, neighbours=16)
        untiled.append(time.perf_counter() - start)
        client_peak = peak_rss_mb()
        start = time.perf_counter()
        tiles = mornax.tiled(points, grid, "kriging", model, neighbours=16, tile=options.tile,
                             client=client)
        tiled.append(time.perf_counter() - start)
        same = all(tiles[name].values.tobytes() == whole[name].values.tobytes()
                   for name in whole.data_vars)
        widened = tiles.attrs["widened_nodes"]
        del whole, tiles
    workers = client.run(peak_rss_mb)
    client.close()
    cluster.close()
    print(f"untiled: best {min(untiled):.2f} s; tiled: best {min(tiled):.2f} s "
          f"(ratio {min(tiled) / min(untiled):.2f}); same bits: {same}; "
          f"nodes widened: {widened}")
    print(f"peak RSS: client {client_peak:.0f} MB after the untiled run; workers " +
          ", ".join(f"{mb:.0f} MB" for mb in workers.values()))


if __name__ == "__main__":
    main()
