#!/usr/bin/env bash
# Times mornax-batch export on the result files of a 1000 x 1000 grid.
#
#   bench/export_bench.sh BUILD_DIR [--repeats R]
#
# BUILD_DIR holds cli/mornax-batch (this script builds nothing). The result
# files are written once by make_export_data.py under BUILD_DIR/bench-data.
# Prints a table: median wall time of R runs (default 5) and peak memory of
# each export, and the size of one layer of the grid in double precision.
set -euo pipefail

[[ $# -ge 1 ]] || { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
build="$(cd "$1" && pwd)"
shift
repeats=5
[[ "${1:-}" == "--repeats" ]] && repeats="$2"
batch="$build/cli/mornax-batch"
[[ -x "$batch" ]] || { echo "no $batch: build the target mornax-batch first" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
data="$build/bench-data"
mkdir -p "$data"
cd "$data"

cols=1000
rows=1000
name=EXPORT1M
if [[ ! -f "$name.lev" ]]; then
  python3 "$here/make_export_data.py" "$data" "$cols" "$rows" "$name"
fi
[[ -f "$name.mnx" ]] || "$batch" new "$name.mnx" >/dev/null

if [[ -x /usr/bin/time ]] && /usr/bin/time -f "%M" true 2>/dev/null; then
  peak_of() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1; }
else
  wrapper="$build/bench/mornax_peak_memory"
  [[ -x "$wrapper" ]] || { echo "no /usr/bin/time and no $wrapper" >&2; exit 2; }
  peak_of() { "$wrapper" "$@" 2>&1 >/dev/null | sed -n 's/^peak memory: \([0-9]*\) KB$/\1/p' | tail -1; }
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '| %-40s | %8s | %8s |\n' "export of a ${cols} x ${rows} grid" "time s" "peak MB"
printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..42})" "----------" "----------"
run_case() {  # label output options...
  local label="$1" times=() peak=0 start end memory
  shift
  for ((r = 0; r < repeats; r++)); do
    start=$(date +%s%N)
    memory=$(peak_of "$batch" export "$name.mnx" "$@")
    end=$(date +%s%N)
    times+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')")
    (( memory > peak )) && peak=$memory
  done
  printf '| %-40s | %8.3f | %8.1f |\n' "$label" "$(printf '%s\n' "${times[@]}" | median)" \
    "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
}
run_case "GeoTIFF, estimate" out.tif
run_case "GeoTIFF, estimate and standard error" out-all.tif --layer all
if "$batch" export --help 2>/dev/null | grep -- "--cog" >/dev/null; then
  run_case "Cloud-Optimized GeoTIFF, estimate" out-cog.tif --cog
fi
run_case "ESRI ASCII grid, estimate" out.asc
run_case "contours at the .lev levels (GeoPackage)" lines.gpkg
run_case "contours at auto levels (GeoPackage)" lines-auto.gpkg --levels auto
run_case "points (CSV)" points.csv
echo
for tif in out.tif out-all.tif out-cog.tif; do
  if [[ -f "$tif" ]]; then
    echo "$tif: $(awk -v b="$(stat -c %s "$tif")" 'BEGIN { printf "%.1f", b / 1048576 }') MB"
  fi
done
echo "one layer of the grid in double precision: $(awk -v n=$((cols * rows)) 'BEGIN { print n * 8 / 1048576 }') MB"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
