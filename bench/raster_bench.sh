#!/usr/bin/env bash
# Memory and time of the big-grid cases: kriging straight to a GeoTIFF
# without text, the same run with text, exporting its text to a GeoTIFF and
# drawing its map.
#
#   bench/raster_bench.sh BUILD_DIR [--repeats R] [--nodes M] [--points N]
#
# BUILD_DIR holds cli/mornax-batch (this script builds nothing). The data file
# (N data points, default 10^6; M nodes, default 10^7) is written once by
# make_data.py under BUILD_DIR/bench-data. Ordinary kriging, spherical model,
# 16 neighbours, both cores. Prints the best wall time and the lowest peak
# memory of R runs (default 3): other builds share the machine.
set -euo pipefail

[[ $# -ge 1 ]] || { sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
build="$(cd "$1" && pwd)"
shift
repeats=3 nodes=10000000 points=1000000
while [[ $# -gt 0 ]]; do
  case "$1" in
    --repeats) repeats="$2"; shift 2 ;;
    --nodes) nodes="$2"; shift 2 ;;
    --points) points="$2"; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
batch="$build/cli/mornax-batch"
[[ -x "$batch" ]] || { echo "no $batch: build the target mornax-batch first" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
data="$build/bench-data"
mkdir -p "$data"
cd "$data"
name=RASTER
dfl="$(python3 -c "import sys; sys.path.insert(0, '$here'); import make_data; print(make_data.default_name($points, $nodes))" 2>/dev/null || true)"
[[ -n "$dfl" ]] || dfl="N$((points / 1000))KM$((nodes / 1000))K"
[[ -f "$dfl.dfl" ]] || python3 "$here/make_data.py" "$data" "$points" "$nodes" "$dfl"
ln -sf "$dfl.dfl" "$name.dfl"
"$batch" new "$name.mnx" --force >/dev/null
"$batch" set "$name.mnx" krigModel=2 sill=60 a=2000 c0=1 krigPoints=16 >/dev/null

measure() {  # label command...: best wall s and lowest peak MB of the repeats
  local label="$1" best="" low="" out
  shift
  for ((r = 0; r < repeats; r++)); do
    out=$(/usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -1)
    read -r wall peak <<<"$out"
    [[ -z "$best" ]] || awk -v a="$wall" -v b="$best" 'BEGIN { exit !(a < b) }' && best="$wall"
    [[ -z "$low" ]] || (( peak < low )) && low="$peak"
  done
  printf '| %-52s | %8.1f | %8.0f |\n' "$label" "$best" "$(awk -v k="$low" 'BEGIN { print k / 1024 }')"
}

printf '| %-52s | %8s | %8s |\n' "N $points, M $nodes, kriging, 16 neighbours" "wall s" "peak MB"
printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" "----------" "----------"
measure "run --raster OUT.tif --no-text" "$batch" run "$name.mnx" kriging --interpolate \
  --raster out.tif --no-text
measure "run (text: .dat, .lev, .wl)" "$batch" run "$name.mnx" kriging --interpolate
measure "export of that text to a GeoTIFF" "$batch" export "$name.mnx" export.tif
QT_QPA_PLATFORM=offscreen measure "map of that text (PNG 1200 x 900)" "$batch" map "$name.mnx" map.png
echo
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
