#!/usr/bin/env python3
"""Writes synthetic data files for the benchmarks.

Each file holds N data points scattered uniformly over a 10 km x 10 km site
(x y value guess on every line) followed by a square network of M nodes
(x y guess). The value is a smooth field (a regional gradient, a few broad
mounds and a gentle wave) plus measurement noise; the guess is a damped,
offset copy of the regional part with noise of its own, as a coarser model
would give. Coordinates are written with two decimals and no two data points
share them, so no run merges points.

Standard library only, fixed seed per file: the same command always writes
the same bytes.

    make_data.py FOLDER N M [NAME]

writes FOLDER/NAME.dfl; NAME defaults to the sizes in thousands, such as
N100KM250K for N = 100000 and M = 250000 (project names hold 12 characters).
"""

import math
import pathlib
import random
import sys

X0, Y0 = 14000.0, 36000.0  # site origin (local grid, metres)
EXTENT = 10000.0

# Broad mounds of the field: centre offset x, y, amplitude, width (metres).
MOUNDS = [
    (2500.0, 7000.0, 12.0, 1400.0),
    (7500.0, 2500.0, -11.0, 1600.0),
    (6500.0, 8000.0, 10.0, 1200.0),
    (1500.0, 2000.0, 9.0, 1300.0),
    (5000.0, 4500.0, -9.0, 1500.0),
]


def field(dx, dy):
    value = 72.0 - 0.0008 * (dx - EXTENT / 2) + 0.0006 * (dy - EXTENT / 2)
    for cx, cy, amplitude, width in MOUNDS:
        r2 = (dx - cx) ** 2 + (dy - cy) ** 2
        value += amplitude * math.exp(-r2 / (2.0 * width * width))
    return value + 1.5 * math.sin(dx / 900.0) * math.cos(dy / 1300.0)


def guess(dx, dy):
    return 0.9 * (72.0 - 0.0008 * (dx - EXTENT / 2) + 0.0006 * (dy - EXTENT / 2)) + 9.0


def normal(rng, sigma):
    # Box-Muller on the uniform stream, independent of the library's own
    # normal-deviate algorithm.
    u1 = 1.0 - rng.random()
    u2 = rng.random()
    return sigma * math.sqrt(-2.0 * math.log(u1)) * math.cos(2.0 * math.pi * u2)


def short(count):
    """1000 -> 1K, 250000 -> 250K, 100000 -> 100K."""
    if count % 1000 == 0:
        return "%dK" % (count // 1000)
    return "%d" % count


def default_name(n, m):
    # Project names hold at most 12 characters: N100KM250K is 10.
    return "N%sM%s" % (short(n), short(m))


def data_lines(n, m, seed):
    rng = random.Random(seed)
    lines = ["Benchmark field, %d points, %d network nodes, seed %d" % (n, m, seed), "%d" % n]
    taken = set()
    while len(taken) < n:
        dx = round(rng.random() * EXTENT, 2)
        dy = round(rng.random() * EXTENT, 2)
        if (dx, dy) in taken:
            continue
        taken.add((dx, dy))
        z = field(dx, dy) + normal(rng, 0.5)
        g = max(guess(dx, dy) + normal(rng, 1.5), 1.0)
        lines.append("%.2f %.2f %.3f %.3f" % (X0 + dx, Y0 + dy, z, g))
    side = max(int(round(math.sqrt(m))), 1) if m > 0 else 0
    lines.append("%d" % (side * side))
    spacing = EXTENT / side if side else 0.0
    for row in range(side):
        dy = spacing / 2 + row * spacing
        for column in range(side):
            dx = spacing / 2 + column * spacing
            g = max(guess(dx, dy) + normal(rng, 1.5), 1.0)
            lines.append("%.2f %.2f %.3f" % (X0 + dx, Y0 + dy, g))
    return lines


def main(argv):
    if len(argv) not in (4, 5):
        sys.stderr.write("usage: make_data.py FOLDER N M [NAME]\n")
        return 2
    folder = pathlib.Path(argv[1])
    n, m = int(argv[2]), int(argv[3])
    name = argv[4] if len(argv) == 5 else default_name(n, m)
    folder.mkdir(parents=True, exist_ok=True)
    # The seed follows from the sizes, so every file is reproducible alone.
    seed = 1000003 * n + m
    text = "\n".join(data_lines(n, m, seed)) + "\n"
    (folder / (name + ".dfl")).write_text(text, newline="\n")
    print(folder / (name + ".dfl"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
