#!/usr/bin/env python3
"""Writes the example project SITE1: a synthetic water-level survey.

SITE1.dfl holds 120 boreholes scattered over a 10 km x 10 km site, each with
its measured water level (a regional gradient plus three Gaussian bumps plus
measurement noise) and a prior guess from a coarser regional model (biased,
smoother, noisy), followed by a 20 x 20 network of nodes at 500 m spacing with
a guess on every line.

The document parameters are derived from the data: the sample variance gives
the sill, the size of the bumps the range, the scatter of the guess errors the
guess semivariogram. With --batch the script creates SITE1.mnx with
`mornax-batch new` and `mornax-batch set`; without it, it prints the commands.

Standard library only, fixed seed: the output is the same on every run.
"""

import argparse
import math
import pathlib
import random
import subprocess
import sys

SEED = 1995
BOREHOLES = 120
MIN_SPACING = 150.0  # metres; keeps boreholes apart so none coincide
X0, Y0 = 14000.0, 36000.0  # site origin (local grid, metres)
EXTENT = 10000.0
GRID_NODES = 20
GRID_SPACING = 500.0

# Gaussian bumps of the water table (recharge mounds and pumping cones):
# centre offset x, y, amplitude (m), width (m).
BUMPS = [
    (2500.0, 7000.0, 12.0, 900.0),
    (7500.0, 2500.0, -11.0, 1000.0),
    (6500.0, 8000.0, 10.0, 800.0),
    (1500.0, 2000.0, 9.0, 800.0),
    (5000.0, 4500.0, -9.0, 900.0),
    (9000.0, 6000.0, 8.0, 800.0),
    (4000.0, 9200.0, -8.0, 700.0),
    (8500.0, 9000.0, 9.0, 900.0),
    (3000.0, 4000.0, 7.0, 700.0),
    (6500.0, 5500.0, 8.0, 700.0),
    (800.0, 5000.0, -7.0, 800.0),
    (4500.0, 1000.0, 8.0, 800.0),
]


class Noise:
    """Normal deviates by Box-Muller on the generator's uniform stream, so the
    numbers do not depend on the library's own normal-deviate algorithm."""

    def __init__(self, rng):
        self.rng = rng

    def normal(self, sigma):
        u1 = 1.0 - self.rng.random()  # in (0, 1]
        u2 = self.rng.random()
        return sigma * math.sqrt(-2.0 * math.log(u1)) * math.cos(2.0 * math.pi * u2)


def regional(dx, dy):
    """The regional water table: falling towards the south-east."""
    return 72.0 - 0.0008 * (dx - EXTENT / 2) + 0.0006 * (dy - EXTENT / 2)


def bump(dx, dy, centre):
    cx, cy, amplitude, width = centre
    r2 = (dx - cx) ** 2 + (dy - cy) ** 2
    return amplitude * math.exp(-r2 / (2.0 * width * width))


def water_level(dx, dy):
    return regional(dx, dy) + sum(bump(dx, dy, b) for b in BUMPS)


def guess_model(dx, dy):
    """A coarser model of the same site: a damped, offset regional surface that
    knows only half of the largest bump."""
    return 0.9 * regional(dx, dy) + 9.0 + 0.5 * bump(dx, dy, BUMPS[0])


def boreholes(rng):
    points = []
    while len(points) < BOREHOLES:
        dx, dy = rng.random() * EXTENT, rng.random() * EXTENT
        if all((dx - px) ** 2 + (dy - py) ** 2 >= MIN_SPACING**2 for px, py in points):
            points.append((dx, dy))
    return points


def make_data():
    rng = random.Random(SEED)
    noise = Noise(rng)
    wells = []
    for dx, dy in boreholes(rng):
        z = water_level(dx, dy) + noise.normal(0.5)
        g = max(guess_model(dx, dy) + noise.normal(1.5), 1.0)
        wells.append((X0 + dx, Y0 + dy, z, g))
    nodes = []
    for row in range(GRID_NODES):
        for column in range(GRID_NODES):
            dx = GRID_SPACING / 2 + column * GRID_SPACING
            dy = GRID_SPACING / 2 + row * GRID_SPACING
            g = max(guess_model(dx, dy) + noise.normal(1.5), 1.0)
            nodes.append((X0 + dx, Y0 + dy, g))
    return wells, nodes


def data_file_text(wells, nodes):
    lines = ["SITE1 water levels (m), %d boreholes, regional model guesses" % len(wells)]
    lines.append("%d" % len(wells))
    lines += ["%10.1f %10.1f %8.2f %8.2f" % well for well in wells]
    lines.append("%d" % len(nodes))
    lines += ["%10.1f %10.1f %8.2f" % node for node in nodes]
    return "\n".join(lines) + "\n"


def variance(values):
    mean = sum(values) / len(values)
    return sum((v - mean) ** 2 for v in values) / (len(values) - 1)


def rounded(value, digits=2):
    """value to `digits` significant digits, as the text a user would type."""
    text = "%f" % float("%.*g" % (digits, value))
    return text.rstrip("0").rstrip(".") or "0"


def parameters(wells):
    """field=value assignments that suit the data; the rest keep the defaults."""
    # The data values as written (two decimals), not the unrounded field.
    levels = [round(w[2], 2) for w in wells]
    errors = [round(w[3], 2) - round(w[2], 2) for w in wells]
    sill = variance(levels)
    nugget = 0.02 * sill  # measurement noise and small-scale scatter
    guess_sill = variance(errors)
    guess_nugget = 0.3 * guess_sill
    range_a = 5000.0  # where the experimental semivariogram levels off
    values = {
        # Semivariogram: 20 lags of 250 m reach half the site's extent.
        "lagDistance": "250",
        "lagCount": "20",
        "tolerance": "360",
        "direction": "0",
        # Spherical fit: B1 sill above the nugget, B2 range, B3 nugget.
        "fitPointCount": "20",
        "bestFit": "1",
        "model": "2",
        "initial1": rounded(sill - nugget),
        "initial2": rounded(range_a),
        "initial3": rounded(nugget),
        "minimum1": rounded(0.1 * sill),
        "minimum2": "250",
        "minimum3": "0",
        "maximum1": rounded(3.0 * sill),
        "maximum2": "10000",
        "maximum3": rounded(0.5 * sill),
        # Distance weighting: a second-degree trend surface (scheme 7).
        "dwPoints": "8",
        "dwScheme": "7",
        "trendDegree": "2",
        # Kriging with a linear drift for the regional gradient.
        "krigPoints": "12",
        "krigModel": "2",
        "krigOrder": "1",
        "sill": rounded(sill),
        "c": rounded(sill - nugget),
        "c0": rounded(nugget),
        "a": rounded(range_a),
        # Bayes: the same observation semivariogram; the guess errors'
        # semivariogram from their scatter; the guesses' mean bias removed.
        "bayesPoints": "10",
        "bayesModel": "2",
        "scaleGuess": "2",
        "guessSill": rounded(guess_sill),
        "guessC": rounded(guess_sill - guess_nugget),
        "guessC0": rounded(guess_nugget),
        "guessA": "3000",
        "lagD": "250",
    }
    return [name + "=" + text for name, text in values.items()]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--batch", help="path of mornax-batch; creates SITE1.mnx with it")
    args = parser.parse_args()

    folder = pathlib.Path(__file__).resolve().parent
    wells, nodes = make_data()
    (folder / "SITE1.dfl").write_text(data_file_text(wells, nodes), newline="\n")
    levels = [w[2] for w in wells]
    print("SITE1.dfl: %d boreholes, water levels %.2f-%.2f m, variance %.1f m^2; %d nodes"
          % (len(wells), min(levels), max(levels), variance(levels), len(nodes)))

    assignments = parameters(wells)
    commands = [["new", "--force", "SITE1.mnx"], ["set", "SITE1.mnx"] + assignments]
    if args.batch is None:
        for command in commands:
            print("mornax-batch " + " ".join(command))
        return 0
    for command in commands:
        subprocess.run([args.batch] + command, cwd=folder, check=True)
    print("SITE1.mnx written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
