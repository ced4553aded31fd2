#!/usr/bin/env python3
"""Writes the result files of a kriging run on a regular grid, for timing
exports without running the interpolation:

    make_export_data.py FOLDER COLS ROWS NAME

NAME.dfl (title, three data points, the COLS x ROWS network from the top row
down, x fastest), NAME.dat (kriging layout: x, y with one decimal, estimate,
standard error), NAME.wl, NAME.lev (level list, then the estimates). The
surface is a smooth field of about 40 to 90 with mounds and a wave.
"""
import math
import os
import sys


def main():
    folder, cols, rows, name = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    x0, y0, spacing = 500012.5, 5400012.5, 25.0
    path = lambda ext: os.path.join(folder, name + ext)
    count = cols * rows
    with open(path(".dfl"), "w") as dfl, open(path(".dat"), "w") as dat, \
            open(path(".wl"), "w") as wl, open(path(".lev"), "w") as lev:
        dfl.write("Export benchmark surface\n3\n500000 5400000 50\n501000 5401000 60\n"
                  "502000 5400500 70\n%d\n" % count)
        header = "%5d%5d%5d ;%40sSTD\n" % (0, count, 0, "")
        dat.write(header if len(header) == 61 else "    0*****    0 ;%40sSTD\n" % "")
        lev.write("   11 ;\n" + "".join("%8d\n" % level for level in range(40, 95, 5)))
        for r in range(rows - 1, -1, -1):
            y = y0 + spacing * r
            for c in range(cols):
                x = x0 + spacing * c
                u, v = c / cols, r / rows
                z = (60.0 + 20.0 * u - 10.0 * v + 8.0 * math.exp(-((u - 0.3) ** 2 + (v - 0.6) ** 2) * 40)
                     - 6.0 * math.exp(-((u - 0.7) ** 2 + (v - 0.2) ** 2) * 60)
                     + 2.0 * math.sin(12.0 * u) * math.cos(9.0 * v))
                s = 1.0 + 0.5 * math.sin(7.0 * u + 3.0 * v) ** 2
                dfl.write("%.1f %.1f\n" % (x, y))
                dat.write("  %15.1f%15.1f%15.5f%15.5f\n" % (x, y, z, s))
                wl.write("%15.5f%15.5f%15.5f\n" % (x, y, z))
                lev.write("%15.5f\n" % z)


if __name__ == "__main__":
    main()
