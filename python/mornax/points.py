"""Data points, networks of nodes and regular grids."""

import numpy as np


def as_values(values, name, length=None):
    """One-dimensional float64 copy-free view of ``values`` (TypeError, ValueError)."""
    try:
        array = np.asarray(values, dtype=np.float64)
    except (TypeError, ValueError) as error:
        raise TypeError(f"{name} must be numbers: {error}") from None
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {array.shape}")
    if length is not None and array.size != length:
        raise ValueError(f"{name} has {array.size} values, expected {length}")
    return np.ascontiguousarray(array)


class Points:
    """Measured points: coordinates, values and, for Bayesian estimation, prior guesses.

    Parameters
    ----------
    x, y, value : array_like, one-dimensional, of equal length
    guess : array_like, optional
        The prior guess at each point (Bayesian estimation; the semivariogram's
        ``subtract`` uses ``|value - guess|``).
    crs : optional
        The coordinate system (anything pyproj or rioxarray accepts); carried on
        to the grids estimated from these points.
    """

    def __init__(self, x, y, value, guess=None, crs=None):
        self.x = as_values(x, "x")
        self.y = as_values(y, "y", self.x.size)
        self.value = as_values(value, "value", self.x.size)
        self.guess = None if guess is None else as_values(guess, "guess", self.x.size)
        self.crs = crs

    def __len__(self):
        return self.x.size

    def __repr__(self):
        return f"Points({len(self)} points{', with guesses' if self.guess is not None else ''})"

    @classmethod
    def from_geodataframe(cls, frame, value, guess=None):
        """Points from a GeoDataFrame of point geometries.

        ``value`` (and ``guess``) name columns; the frame's CRS is kept.
        """
        geometry = frame.geometry
        if not (geometry.geom_type == "Point").all():
            raise ValueError("the GeoDataFrame must hold point geometries only")
        return cls(geometry.x.to_numpy(), geometry.y.to_numpy(), frame[value].to_numpy(),
                   None if guess is None else frame[guess].to_numpy(), crs=frame.crs)

    def select(self, mask):
        """The points where ``mask`` is true, in their order."""
        return Points(self.x[mask], self.y[mask], self.value[mask],
                      None if self.guess is None else self.guess[mask], self.crs)


def as_points(points):
    if isinstance(points, Points):
        return points
    if hasattr(points, "geometry"):
        raise TypeError("give a GeoDataFrame as Points.from_geodataframe(frame, value=...)")
    if isinstance(points, (tuple, list)) and len(points) in (3, 4):
        return Points(*points)
    raise TypeError("points must be mornax.Points or a tuple (x, y, value[, guess])")


class Grid:
    """A regular grid of nodes: ``nx`` columns from ``xmin``, ``ny`` rows from ``ymin``.

    Nodes stand at ``xmin + i * dx`` and ``ymin + j * dy`` (cell centres when the
    grid is written as a raster). Estimates on a grid come back as an
    ``xarray.Dataset`` with ``y`` running north to south, ready for
    ``dataset.rio.to_raster(path)``.
    """

    def __init__(self, xmin, ymin, dx, nx, ny, dy=None, crs=None):
        if int(nx) < 1 or int(ny) < 1:
            raise ValueError("a grid needs at least one column and one row")
        dy = dx if dy is None else dy
        if not (dx > 0 and dy > 0):
            raise ValueError("the grid spacing must be positive")
        self.xmin, self.ymin = float(xmin), float(ymin)
        self.dx, self.dy = float(dx), float(dy)
        self.nx, self.ny = int(nx), int(ny)
        self.crs = crs

    @classmethod
    def covering(cls, points, spacing, crs=None):
        """The grid of spacing ``spacing`` over the points' bounding box."""
        points = as_points(points)
        xmin, ymin = points.x.min(), points.y.min()
        nx = int(np.floor((points.x.max() - xmin) / spacing)) + 1
        ny = int(np.floor((points.y.max() - ymin) / spacing)) + 1
        return cls(xmin, ymin, spacing, nx, ny, crs=crs if crs is not None else points.crs)

    @property
    def shape(self):
        return (self.ny, self.nx)

    @property
    def x(self):
        return self.xmin + self.dx * np.arange(self.nx)

    @property
    def y(self):
        """Row coordinates, north first (row j at ymin + dy * (ny - 1 - j))."""
        return self.ymin + self.dy * (self.ny - 1 - np.arange(self.ny))

    def nodes(self, rows=slice(None), columns=slice(None)):
        """x and y of the nodes (row-major, north first) of a window of the grid."""
        gx, gy = np.meshgrid(self.x[columns], self.y[rows])
        return gx.ravel(), gy.ravel()

    def __repr__(self):
        return (f"Grid({self.nx} x {self.ny} nodes from ({self.xmin}, {self.ymin}), "
                f"spacing {self.dx} x {self.dy})")


def grid_of_xarray(obj):
    """The Grid of an xarray object with 1-D regular x and y coordinates."""
    try:
        x = np.asarray(obj["x"].values, dtype=np.float64)
        y = np.asarray(obj["y"].values, dtype=np.float64)
    except KeyError:
        raise ValueError("an xarray object given as nodes needs coordinates x and y") from None
    if x.ndim != 1 or y.ndim != 1 or x.size == 0 or y.size == 0:
        raise ValueError("the x and y coordinates must be one-dimensional and not empty")
    crs = None
    try:
        crs = obj.rio.crs
    except Exception:  # rioxarray absent or no CRS
        crs = None
    return x, y, crs


def is_xarray(obj):
    return type(obj).__module__.split(".")[0] == "xarray"


def read_data_file(path, guesses=False):
    """A data file of the batch tool (title; N; x y z [g] lines; M; x y [g] lines).

    Read with the engine's own rules; returns ``(points, (node_x, node_y),
    node_guess)`` (``node_guess`` None without guesses). Raises EngineError
    when the points cannot be read.
    """
    from . import _engine
    from ._errors import check_report

    r = _engine.read_data_file(str(path), bool(guesses))
    check_report(r["report"])
    points = Points(r["x"], r["y"], r["value"], r["guess"] if guesses else None)
    points.title = r["title"]
    return points, (r["node_x"], r["node_y"]), (r["node_guess"] if guesses else None)
