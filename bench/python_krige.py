"""Python kriging against the in-memory C++ call and the batch tool's file run.

    /usr/bin/python3 bench/python_krige.py [BUILD] [--rounds R]

Ordinary kriging of the 250,000 nodes of bench/make_data.py's N100KM250K set
from its 100,000 points with run.sh's parameters (spherical, sill 40, C0 1,
range 3000, 16 neighbours), R rounds, each timing one after the other: the
batch tool's file run (mornax-batch run ... --interpolate, the whole process),
the in-memory C++ call (mornax_api_bench, the preparation and the estimates
into arrays) and mornax.krige from Python (the same, from numpy arrays read
with the engine's reader, not timed). Needs PYTHONPATH=BUILD/python.
"""

import argparse
import pathlib
import re
import statistics
import subprocess
import sys
import time

import numpy as np

HERE = pathlib.Path(__file__).resolve().parent


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build", type=pathlib.Path)
    parser.add_argument("--rounds", type=int, default=5)
    options = parser.parse_args()
    build = options.build.resolve()
    sys.path.insert(0, str(build / "python"))
    import mornax

    data = build / "bench-data"
    data.mkdir(exist_ok=True)
    name = "N100KM250K"
    batch = str(build / "cli" / "mornax-batch")
    if not (data / f"{name}.dfl").exists():
        subprocess.run([sys.executable, str(HERE / "make_data.py"), str(data), "100000",
                        "250000", name], check=True, capture_output=True)
    if not (data / f"{name}.mnx").exists():
        subprocess.run([batch, "new", f"{name}.mnx"], cwd=data, check=True, capture_output=True)
        subprocess.run([batch, "set", f"{name}.mnx", "krigModel=2", "sill=40", "c=39", "c0=1",
                        "a=3000", "krigOrder=0", "krigPoints=16"], cwd=data, check=True,
                       capture_output=True)

    points, nodes, _ = mornax.read_data_file(data / f"{name}.dfl")
    model = mornax.VariogramModel.spherical(sill=40.0, range=3000.0, nugget=1.0)
    times = {"file run (mornax-batch)": [], "in memory, C++ (mornax_api_bench)": [],
             "mornax.krige from Python": []}
    checksum = None
    for _ in range(options.rounds):
        start = time.perf_counter()
        subprocess.run([batch, "run", f"{name}.mnx", "kriging", "--interpolate",
                        "krigPoints=16", "krigOrder=0"], cwd=data, check=True,
                       capture_output=True)
        times["file run (mornax-batch)"].append(time.perf_counter() - start)
        out = subprocess.run([str(build / "bench" / "mornax_api_bench"),
                              str(data / f"{name}.dfl"), "16", "1"], check=True,
                             capture_output=True, text=True)
        times["in memory, C++ (mornax_api_bench)"].append(
            float(re.search(r"best ([0-9.]+) s", out.stdout).group(1)))
        start = time.perf_counter()
        result = mornax.krige(points, nodes, model, neighbours=16)
        times["mornax.krige from Python"].append(time.perf_counter() - start)
        checksum = float(np.nansum(result.estimate))

    print(f"| ordinary kriging, N 1e5, M 2.5e5, NN 16 | best of {options.rounds} | "
          f"median of {options.rounds} |\n|---|---|---|")
    for label, values in times.items():
        print(f"| {label} | {min(values):.3f} s | {statistics.median(values):.3f} s |")
    python, cpp = times["mornax.krige from Python"], times["in memory, C++ (mornax_api_bench)"]
    file_run = times["file run (mornax-batch)"]
    ratios = [p / c for p, c in zip(python, cpp)]
    print(f"\nPython / C++ per round: median {statistics.median(ratios):.3f}; "
          f"file run / Python: median "
          f"{statistics.median([f / p for f, p in zip(file_run, python)]):.2f}; "
          f"checksum of the estimates {checksum:.6f}")


if __name__ == "__main__":
    main()
