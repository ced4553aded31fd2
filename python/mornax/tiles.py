"""Large grids as exact tiles on a Dask cluster.

Each tile of the grid is estimated on a worker from the data points inside
its box grown by a margin, taken in their global order so that ties between
equally distant points resolve as in a whole run. A node whose farthest
neighbour (its last-neighbour distance) lies nearer than the edge of the grown
box has exactly the neighbours of a whole run; the tile widens its margin for
the others and estimates them again until every node is settled. The stitched
grid is therefore the untiled result, bit for bit.
"""

import math
import os
import subprocess
import warnings

import numpy as np

from ._errors import MergedPointsWarning, NonFiniteWarning, SingularSystemWarning
from .estimation import SCALINGS, Bayes, Kriging, Weighting, to_dataset
from .points import Grid, Points, as_points

METHODS = {"kriging": Kriging, "weighting": Weighting, "bayes": Bayes}
_COLUMNS = ("estimate", "standard_error", "guess", "last_neighbour_distance", "status")


def tiled(points, grid, method="kriging", *args, tile=1024, margin=None, client=None,
          workers=2, guess=None, output=None, **kwargs):
    """Estimates ``grid`` from ``points`` as tiles on a Dask cluster.

    Parameters
    ----------
    points : mornax.Points
    grid : mornax.Grid
    method : "kriging", "weighting" or "bayes"; ``args`` and ``kwargs`` follow as
        for mornax.Kriging, Weighting or Bayes (``neighbours``, ``order``, ...).
        Bayesian estimation scales the guesses per window ("none", "window");
        the scalings over every point ("mean", "linear") are refused here.
    tile : int or (rows, columns)
        Nodes per tile side.
    margin : float, optional
        The first margin around a tile's box (default: twice the radius that
        holds the neighbour count at the data's mean density).
    client : distributed.Client, optional
        The cluster to use; by default a LocalCluster of ``workers`` processes
        with one thread each, closed afterwards.
    guess : array of the grid's shape, or a callable (x, y) -> guesses
        The nodes' guesses of Bayesian estimation.
    output : None, "*.tif" or "*.vrt"
        None: an ``xarray.Dataset`` as mornax.krige gives for a grid. A GeoTIFF
        path: the workers write their windows into one GeoTIFF (estimate, and
        the standard error where the method has one) under a distributed lock.
        A VRT path: each tile becomes ``NAME_tiles/tile_R_C.tif`` beside it,
        joined by a GDAL VRT. The path is returned for files.

    The Dataset's ``attrs`` (and the return of file outputs, as a second value)
    hold ``tiles`` and ``widened_nodes``, the nodes estimated again with a
    wider margin.
    """
    from distributed import Client, LocalCluster

    points = as_points(points)
    if not isinstance(grid, Grid):
        raise TypeError("grid must be a mornax.Grid")
    if method not in METHODS:
        raise ValueError(f"method must be one of {list(METHODS)}")
    if method == "bayes":
        scaling = kwargs.get("scale_guess", "linear")
        scaling = SCALINGS.get(scaling, scaling)
        if scaling not in (0, 1):
            raise ValueError("tiles of Bayesian estimation take scale_guess 'none' or 'window': "
                             "the other scalings are fitted to every data point")
        if guess is None:
            raise ValueError("Bayesian estimation needs the nodes' guesses (guess=...)")
    if guess is not None and not callable(guess):
        guess = np.asarray(guess, dtype=np.float64)
        if guess.shape != grid.shape:
            raise ValueError(f"guess has shape {guess.shape}, the grid {grid.shape}")
    # The parameters are checked here, before any tile is sent out.
    sample = points.select(np.arange(len(points)) < min(len(points), 64))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        METHODS[method](sample, *args, **kwargs)
    merged = len(points) - np.unique(np.stack([points.x, points.y]), axis=1).shape[1]
    if merged:
        warnings.warn(MergedPointsWarning(
            f"{merged} data point{'s' if merged != 1 else ''} merged into an earlier one at "
            "the same place (the mean of their values is used)", 400, merged), stacklevel=2)

    rows, columns = (tile, tile) if np.isscalar(tile) else tile
    windows = [(r, min(r + rows, grid.ny), c, min(c + columns, grid.nx))
               for r in range(0, grid.ny, rows) for c in range(0, grid.nx, columns)]
    neighbours = kwargs.get("neighbours", {"kriging": 6, "weighting": 4, "bayes": 8}[method])
    spec = dict(method=method, args=args, kwargs=kwargs, xmin=grid.xmin, ymin=grid.ymin,
                ny=grid.ny, dx=grid.dx, dy=grid.dy,
                margin=margin if margin is not None else _default_margin(points, neighbours),
                bounds=(points.x.min(), points.x.max(), points.y.min(), points.y.max()),
                minimum_points=2 * neighbours + 2)

    own = client is None
    if own:
        cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        data = client.scatter((points.x, points.y, points.value, points.guess), broadcast=True,
                              hash=False)
        guesses = [None if guess is None or callable(guess) else guess[r0:r1, c0:c1]
                   for r0, r1, c0, c1 in windows]
        if callable(guess):
            spec["guess"] = guess
        if output is None:
            return _to_dataset(client, data, spec, windows, guesses, grid, points.crs)
        return _to_files(client, data, spec, windows, guesses, grid, points.crs,
                         os.fspath(output))
    finally:
        if own:
            client.close()
            cluster.close()


def _default_margin(points, neighbours):
    width = max(points.x.max() - points.x.min(), 1e-12)
    height = max(points.y.max() - points.y.min(), 1e-12)
    return 2.0 * math.sqrt(neighbours * width * height / (math.pi * len(points)))


def _to_dataset(client, data, spec, windows, guesses, grid, crs):
    from distributed import as_completed

    flat = {name: None for name in _COLUMNS}
    counts = np.zeros(3, dtype=np.int64)
    futures = client.map(_estimate_window, [data] * len(windows), [spec] * len(windows),
                         windows, guesses, pure=False)
    for future in as_completed(futures):
        (r0, r1, c0, c1), result, tally = future.result()
        counts += tally
        for name in _COLUMNS:
            values = result[name]
            if values.size == 0:
                continue
            if flat[name] is None:
                flat[name] = np.empty(grid.shape, dtype=values.dtype)
            flat[name][r0:r1, c0:c1] = values.reshape(r1 - r0, c1 - c0)
        future.release()
    _warn(counts)
    result = {name: (np.empty(0) if v is None else v.ravel()) for name, v in flat.items()}
    dataset = to_dataset(result, grid.x, grid.y, grid.crs if grid.crs is not None else crs)
    dataset.attrs.update(tiles=len(windows), widened_nodes=int(counts[0]))
    return dataset


def _to_files(client, data, spec, windows, guesses, grid, crs, output):
    import rasterio
    from rasterio.transform import from_origin

    crs = grid.crs if grid.crs is not None else crs
    bands = ["estimate"] if spec["method"] == "weighting" else ["estimate", "standard_error"]
    profile = dict(driver="GTiff", dtype="float64", nodata=np.nan, count=len(bands),
                   transform=from_origin(grid.xmin - grid.dx / 2, grid.y[0] + grid.dy / 2,
                                         grid.dx, grid.dy),
                   crs=None if crs is None else rasterio.crs.CRS.from_user_input(crs))
    if output.lower().endswith(".vrt"):
        folder = output[:-4] + "_tiles"
        os.makedirs(folder, exist_ok=True)
        target = dict(folder=folder)
    elif output.lower().endswith((".tif", ".tiff")):
        with rasterio.open(output, "w", width=grid.nx, height=grid.ny, tiled=True,
                           blockxsize=256, blockysize=256, **profile):
            pass
        target = dict(path=output, lock="mornax-geotiff-" + os.path.basename(output))
    else:
        raise ValueError("output must end in .tif or .vrt (or be None for a Dataset)")
    n = len(windows)
    futures = client.map(_write_window, [data] * n, [spec] * n, windows, guesses,
                         [profile] * n, [bands] * n, [target] * n, pure=False)
    counts = np.sum(client.gather(futures), axis=0)
    _warn(counts)
    if "folder" in target:
        tiles = sorted(os.path.join(folder, name) for name in os.listdir(folder)
                       if name.endswith(".tif"))
        subprocess.run(["gdalbuildvrt", "-q", output, *tiles], check=True)
    return output, dict(tiles=n, widened_nodes=int(counts[0]))


def _write_window(data, spec, window, guess, profile, bands, target):
    import rasterio
    from rasterio.windows import Window

    (r0, r1, c0, c1), result, tally = _estimate_window(data, spec, window, guess)
    shape = (r1 - r0, c1 - c0)
    stack = np.stack([result[b].reshape(shape) for b in bands])
    if "folder" in target:
        transform = profile["transform"] * rasterio.Affine.translation(c0, r0)
        path = os.path.join(target["folder"], f"tile_{r0:07d}_{c0:07d}.tif")
        with rasterio.open(path, "w", width=shape[1], height=shape[0],
                           **dict(profile, transform=transform)) as tif:
            tif.write(stack)
    else:
        from distributed import Lock

        with Lock(target["lock"]):
            with rasterio.open(target["path"], "r+") as tif:
                tif.write(stack, window=Window(c0, r0, shape[1], shape[0]))
    return tally


def _estimate_window(data, spec, window, guess):
    """One tile: the estimates of its nodes, exact; and (widened, singular, non-finite)."""
    x, y, value, data_guess = data
    r0, r1, c0, c1 = window
    # The nodes as Grid computes them, to the last bit.
    gx, gy = np.meshgrid(spec["xmin"] + spec["dx"] * np.arange(c0, c1),
                         spec["ymin"] + spec["dy"] * (spec["ny"] - 1 - np.arange(r0, r1)))
    nx, ny = gx.ravel(), gy.ravel()
    if "guess" in spec:
        guess = np.asarray(spec["guess"](nx, ny), dtype=np.float64).ravel()
    elif guess is not None:
        guess = guess.ravel()
    box = (nx.min(), nx.max(), ny.min(), ny.max())
    xmin, xmax, ymin, ymax = spec["bounds"]
    method = METHODS[spec["method"]]
    out = None
    todo = np.arange(nx.size)
    margin = spec["margin"]
    tally = np.zeros(3, dtype=np.int64)
    while True:
        low_x, high_x = box[0] - margin, box[1] + margin
        low_y, high_y = box[2] - margin, box[3] + margin
        mask = (x >= low_x) & (x <= high_x) & (y >= low_y) & (y <= high_y)
        whole = low_x <= xmin and high_x >= xmax and low_y <= ymin and high_y >= ymax
        if not whole and np.count_nonzero(mask) < spec["minimum_points"]:
            margin *= 2.0
            continue
        subset = Points(x[mask], y[mask], value[mask],
                        None if data_guess is None else data_guess[mask])
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            predictor = method(subset, *spec["args"], threads=1, **spec["kwargs"])
            result = predictor.predict((nx[todo], ny[todo]),
                                       **({} if guess is None else {"guess": guess[todo]}))
        if out is None:
            out = {name: _full(getattr(result, name), nx.size) for name in _COLUMNS}
        for name in _COLUMNS:
            values = getattr(result, name)
            if values is not None:
                out[name][todo] = values
        if whole:
            break
        # Distance from each node to the grown box's edges beyond which data lie.
        far = np.inf
        edge = np.minimum.reduce([
            nx[todo] - low_x if low_x > xmin else np.full(todo.size, far),
            high_x - nx[todo] if high_x < xmax else np.full(todo.size, far),
            ny[todo] - low_y if low_y > ymin else np.full(todo.size, far),
            high_y - ny[todo] if high_y < ymax else np.full(todo.size, far),
        ])
        # With an anisotropic model the reach is measured in the search metric,
        # which keeps the major axis and stretches the minor one by 1 / ratio:
        # never shorter than the Euclidean distance, so a point within the reach
        # lies within the Euclidean reach too, and comparing it with the
        # Euclidean distance to the edge stays a sound test of exactness.
        reach = result.last_neighbour_distance
        settled = reach < edge
        if settled.all():
            break
        # Grow the margin so that each unsettled node's local reach fits inside.
        short = np.nanmax(np.where(settled, 0.0, reach - edge), initial=0.0)
        margin = max(2.0 * margin, margin + short * 1.01) if np.isfinite(short) \
            else 2.0 * margin
        todo = todo[~settled]
        tally[0] += todo.size
    status = out["status"]
    tally[1] = np.count_nonzero(status == 1)
    tally[2] = np.count_nonzero(status == 2)
    return window, out, tally


def _full(values, n):
    if values is None:
        return np.empty(0)
    return np.empty(n, dtype=values.dtype)


def _warn(counts):
    if counts[1]:
        warnings.warn(SingularSystemWarning(
            f"{counts[1]} estimates had no unique solution (NaN)", 600, int(counts[1])),
            stacklevel=3)
    if counts[2]:
        warnings.warn(NonFiniteWarning(
            f"{counts[2]} estimates are not finite (NaN)", 601, int(counts[2])), stacklevel=3)
