#!/usr/bin/env bash
# Times the batch tool's grid and import commands and prints a results table.
#
#   bench/gis_in.sh BUILD_DIR [--data DIR] [--repeats R]
#
# BUILD_DIR holds cli/mornax-batch (this script builds nothing). Cases:
#   grid 1e7      a 4000 x 2500 grid over a data file of 1000 points
#   grid 1e7 g    the same with guesses sampled from a 2000 x 1250 GeoTIFF
#   import 1e6    one million CSV points with x, y, value and guess columns
#   import 1e6 t  the same transformed from EPSG:4326 into EPSG:32633
#   grid hull     the 1e7 grid kept within 50 of the data points' convex hull
#   grid clip     the 1e7 grid clipped to a star-shaped polygon of 720 vertices
# For each: the median wall time of R runs (default 3), the median processor
# time (user + system, from GNU time; "-" without it), the nodes or points per
# wall second, and the peak memory. On a shared machine the processor time is
# the steadier figure.
set -euo pipefail

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
[[ $# -ge 1 ]] || usage
build="$(cd "$1" && pwd)"
shift
data="$build/bench-gis"
repeats=3
while [[ $# -gt 0 ]]; do
  case "$1" in
    --data) data="$2"; shift 2 ;;
    --repeats) repeats="$2"; shift 2 ;;
    *) usage ;;
  esac
done
batch="$build/cli/mornax-batch"
[[ -x "$batch" ]] || { echo "no $batch: build the target mornax-batch first" >&2; exit 2; }
mkdir -p "$data"
cd "$data"

if [[ -x /usr/bin/time ]] && /usr/bin/time -f "%M" true 2>/dev/null; then
  peak_of() { /usr/bin/time -f "%M %U %S" "$@" 2>&1 >/dev/null | tail -1 | awk '{ print $1, $2 + $3 }'; }
else
  wrapper="$build/bench/mornax_peak_memory"
  [[ -x "$wrapper" ]] || { echo "no /usr/bin/time and no $wrapper" >&2; exit 2; }
  peak_of() { echo "$("$wrapper" "$@" 2>&1 >/dev/null | sed -n 's/^peak memory: \([0-9]*\) KB$/\1/p' | tail -1) -"; }
fi

# Inputs, written once (seeded, Python standard library and GDAL's own tool).
if [[ ! -f G.mnx ]]; then
  "$batch" new G.mnx >/dev/null
  "$batch" new T.mnx >/dev/null
  "$batch" crs T.mnx EPSG:32633 >/dev/null
  python3 - <<'PY'
import random
random.seed(7)
with open("G.dfl", "w") as out:
    out.write("Grid benchmark\n1000\n")
    for _ in range(1000):
        out.write(f"{random.uniform(0, 4000):.2f} {random.uniform(0, 2500):.2f} "
                  f"{random.uniform(10, 50):.3f} {random.uniform(10, 50):.3f}\n")
    out.write("0\n")
with open("points.csv", "w") as out:
    out.write("x,y,level,prior\n")
    for _ in range(1_000_000):
        out.write(f"{random.uniform(400000, 600000):.3f},{random.uniform(5e6, 5.2e6):.3f},"
                  f"{random.uniform(10, 50):.4f},{random.uniform(10, 50):.4f}\n")
with open("lonlat.csv", "w") as out:
    out.write("lon,lat,level\n")
    for _ in range(1_000_000):
        out.write(f"{random.uniform(13, 17):.6f},{random.uniform(45, 47):.6f},"
                  f"{random.uniform(10, 50):.4f}\n")
with open("guess.asc", "w") as out:
    out.write("ncols 2000\nnrows 1250\nxllcorner 0\nyllcorner 0\ncellsize 2\n")
    for r in range(1250):
        out.write(" ".join(f"{20 + 0.01 * c - 0.005 * r:.3f}" for c in range(2000)) + "\n")
PY
  gdal_translate -q -of GTiff guess.asc guess.tif
  cp G.dfl G.dfl.orig
fi
if [[ ! -f ring.geojson ]]; then
  python3 - <<'PY'
import math
ring = []
for k in range(720):
    angle = 2 * math.pi * k / 720
    radius = 1100 + 150 * math.sin(9 * angle)
    ring.append([2000 + radius * math.cos(angle), 1250 + radius * math.sin(angle)])
ring.append(ring[0])
with open("ring.geojson", "w") as out:
    out.write('{"type":"FeatureCollection","features":[{"type":"Feature","properties":{},'
              '"geometry":{"type":"Polygon","coordinates":[' + str(ring) + ']}}]}')
PY
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Times `repeats` runs; prints "median_seconds median_cpu_seconds peak_kb".
# `prepare` runs before each run, untimed.
timed() {  # prepare command...
  local prepare="$1" times=() cpus=() peak=0 start end measured memory cpu
  shift
  for ((r = 0; r < repeats; r++)); do
    eval "$prepare"
    start=$(date +%s%N)
    measured=$(peak_of "$@")
    end=$(date +%s%N)
    memory=${measured% *}
    cpu=${measured#* }
    times+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')")
    cpus+=("$cpu")
    (( memory > peak )) && peak=$memory
  done
  local cpu_median="-"
  [[ "${cpus[0]}" != "-" ]] && cpu_median=$(printf '%s\n' "${cpus[@]}" | median)
  echo "$(printf '%s\n' "${times[@]}" | median) $cpu_median $peak"
}

printf '| %-44s | %7s | %7s | %12s | %8s |\n' case "time s" "cpu s" "per second" "peak MB"
printf '|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..46})" "---------" "---------" \
  "--------------" "----------"
row() {  # name items prepare command...
  local name="$1" items="$2" prepare="$3"
  shift 3
  read -r seconds cpu peak < <(timed "$prepare" "$@")
  printf '| %-44s | %7.3f | %7s | %12.3g | %8.1f |\n' "$name" "$seconds" "$cpu" \
    "$(awk -v n="$items" -v s="$seconds" 'BEGIN { print n / s }')" \
    "$(awk -v kb="$peak" 'BEGIN { print kb / 1024 }')"
}

row "grid 4000 x 2500 = 1e7 nodes" 1e7 "cp G.dfl.orig G.dfl" \
  "$batch" grid G.mnx --spacing 1 --extent 0 0 4000 2500 --guess 30
row "grid 1e7 nodes, guesses from a GeoTIFF" 1e7 "cp G.dfl.orig G.dfl" \
  "$batch" grid G.mnx --spacing 1 --extent 0 0 4000 2500 --guess-raster guess.tif
row "import 1e6 CSV points (x, y, value, guess)" 1e6 "rm -f G.dfl" \
  "$batch" import G.mnx points.csv --z level --guess prior
row "import 1e6 CSV points, EPSG:4326 to 32633" 1e6 "rm -f T.dfl" \
  "$batch" import T.mnx lonlat.csv --z level --crs EPSG:4326
row "grid 1e7 nodes kept within the data's hull" 1e7 "cp G.dfl.orig G.dfl" \
  "$batch" grid G.mnx --spacing 1 --extent 0 0 4000 2500 --guess 30 --hull 50
row "grid 1e7 nodes clipped to a 720-vertex polygon" 1e7 "cp G.dfl.orig G.dfl" \
  "$batch" grid G.mnx --spacing 1 --extent 0 0 4000 2500 --guess 30 --clip ring.geojson
