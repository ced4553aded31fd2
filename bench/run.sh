#!/usr/bin/env bash
# Times mornax-batch on synthetic data sets and prints a results table.
#
#   bench/run.sh BUILD_DIR [options]
#
# BUILD_DIR is a build folder that holds cli/mornax-batch (this script builds
# nothing). Options:
#   --data DIR      where the data files and results go (default BUILD_DIR/bench-data)
#   --repeats R     runs per timing, the median is reported (default 5)
#   --no-scan       skip the runs that select neighbours by scanning every point
#                   (on the largest sets they take minutes)
#   --only PATTERN  run only the cases whose name contains PATTERN
#
# For every case it reports the median wall time on all cores and on one
# thread, points (or pairs) per second, the peak memory, the speed-up over
# one thread and over the scan, and whether all three runs wrote the same
# bytes.
set -euo pipefail

usage() { sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
[[ $# -ge 1 ]] || usage
build="$(cd "$1" && pwd)"
shift
data="$build/bench-data"
repeats=5
scan=1
only=""
while [[ $# -gt 0 ]]; do
  case "$1" in
    --data) data="$2"; shift 2 ;;
    --repeats) repeats="$2"; shift 2 ;;
    --no-scan) scan=0; shift ;;
    --only) only="$2"; shift 2 ;;
    *) usage ;;
  esac
done

batch="$build/cli/mornax-batch"
[[ -x "$batch" ]] || { echo "no $batch: build the target mornax-batch first" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$data"
cd "$data"

# Runs a command; prints its wall time in seconds and its peak memory in KB.
# The memory comes from GNU time if present, else from the small wrapper of
# this folder.
if [[ -x /usr/bin/time ]] && /usr/bin/time -f "%M" true 2>/dev/null; then
  peak_of() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1; }
else
  wrapper="$build/bench/mornax_peak_memory"
  [[ -x "$wrapper" ]] || { echo "no /usr/bin/time and no $wrapper" >&2; exit 2; }
  peak_of() { "$wrapper" "$@" 2>&1 >/dev/null | sed -n 's/^peak memory: \([0-9]*\) KB$/\1/p' | tail -1; }
fi
measure() {
  local start end memory
  start=$(date +%s%N)
  memory=$(peak_of "$@")
  end=$(date +%s%N)
  echo "$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }') $memory"
}

# Data sets: N data points, M network points.
make_set() {  # name N M
  if [[ ! -f "$1.dfl" ]]; then
    python3 "$here/make_data.py" "$data" "$2" "$3" "$1" >/dev/null
  fi
  if [[ ! -f "$1.mnx" ]]; then
    "$batch" new "$1.mnx" >/dev/null
    "$batch" set "$1.mnx" lagDistance=250 lagCount=20 direction=45 tolerance=45 \
      dwScheme=1 dwPoints=4 krigModel=2 sill=40 c=39 c0=1 a=3000 krigOrder=0 krigPoints=6 \
      bayesModel=2 bayesPoints=8 scaleGuess=2 guessSill=10 guessC=8 guessC0=2 guessA=3000 \
      >/dev/null
  fi
}
make_set N1KM10K 1000 10000
make_set N10KM10K 10000 10000
make_set N100KM250K 100000 250000

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The result files of a run, for comparing runs.
results() {  # project computation mode
  case "$2" in
    variogram) echo "$1.var $1.fit" ;;
    *) [[ "$3" == "--error-analysis" ]] && echo "$1.lst" || echo "$1.dat $1.lev $1.wl" ;;
  esac
}

keep() {  # tag files...
  local tag="$1"; shift
  for file in "$@"; do cp "$file" "$file.$tag"; done
}

same() {  # tag files...
  local tag="$1"; shift
  for file in "$@"; do cmp -s "$file" "$file.$tag" || return 1; done
}

# Times `repeats` runs with the given environment and prints "median_seconds peak_kb".
timed() {
  local times=() peak=0 line
  for ((r = 0; r < repeats; r++)); do
    line=$(measure env "$@")
    times+=("${line% *}")
    (( ${line#* } > peak )) && peak=${line#* }
  done
  echo "$(printf '%s\n' "${times[@]}" | median) $peak"
}

printf '| %-36s | %9s | %9s | %12s | %8s | %7s | %7s | %s |\n' \
  case "time s" "1 thr s" "per second" "peak MB" "x 1 thr" "x scan" "same bytes"
printf '|%s|%s|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..38})" "-----------" \
  "-----------" "--------------" "----------" "---------" "---------" "------------"

# case name, project, items (points or pairs), computation, mode, assignments...
run_case() {
  local name="$1" project="$2" items="$3" computation="$4" mode="$5"
  shift 5
  [[ -z "$only" || "$name" == *"$only"* ]] || return 0
  local args=(run "$project.mnx" "$computation")
  [[ -n "$mode" ]] && args+=("$mode")
  args+=("$@")
  local files
  read -r -a files <<<"$(results "$project" "$computation" "$mode")"

  local one all scanned="" same_bytes="yes"
  one=$(timed MORNAX_THREADS=1 "$batch" "${args[@]}")
  keep one "${files[@]}"
  all=$(timed "$batch" "${args[@]}")
  same one "${files[@]}" || same_bytes="NO"
  if [[ $scan == 1 && "$computation" != variogram ]]; then
    scanned=$(measure env MORNAX_THREADS=1 MORNAX_LINEAR_SCAN=1 "$batch" "${args[@]}")
    same one "${files[@]}" || same_bytes="NO"
  fi
  rm -f "${files[@]/%/.one}"

  local t_all="${all% *}" t_one="${one% *}" peak="${all#* }"
  local rate speedup vs_scan="-"
  rate=$(awk -v n="$items" -v t="$t_all" 'BEGIN { printf (t > 0) ? "%.3g" : "-", n / t }')
  speedup=$(awk -v a="$t_one" -v b="$t_all" 'BEGIN { printf (b > 0) ? "%.2f" : "-", a / b }')
  if [[ -n "$scanned" ]]; then
    vs_scan=$(awk -v a="${scanned% *}" -v b="$t_all" 'BEGIN { printf (b > 0) ? "%.1f" : "-", a / b }')
  fi
  printf '| %-36s | %9.3f | %9.3f | %12s | %8.1f | %7s | %7s | %s |\n' "$name" "$t_all" \
    "$t_one" "$rate" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "$speedup" "$vs_scan" \
    "$same_bytes"
}

big=N100KM250K
run_case "weighting NN 4, N 1e5, M 2.5e5" $big 250000 weighting --interpolate dwPoints=4
run_case "kriging NN 6 ord 0, N 1e5, M 2.5e5" $big 250000 kriging --interpolate krigPoints=6 krigOrder=0
run_case "kriging NN 6 ord 1, N 1e5, M 2.5e5" $big 250000 kriging --interpolate krigPoints=6 krigOrder=1
run_case "kriging NN 16 ord 0, N 1e5, M 2.5e5" $big 250000 kriging --interpolate krigPoints=16 krigOrder=0
run_case "kriging NN 16 ord 1, N 1e5, M 2.5e5" $big 250000 kriging --interpolate krigPoints=16 krigOrder=1
run_case "Bayes NN 8, N 1e5, M 2.5e5" $big 250000 bayes --interpolate bayesPoints=8
run_case "weighting NN 4, N 1e3, M 1e4" N1KM10K 10000 weighting --interpolate dwPoints=4
run_case "kriging NN 16 ord 1, N 1e3, M 1e4" N1KM10K 10000 kriging --interpolate krigPoints=16 krigOrder=1
run_case "error analysis kriging NN 6, N 1e4" N10KM10K 10000 kriging --error-analysis krigPoints=6 krigOrder=0
run_case "error analysis weighting NN 4, N 1e4" N10KM10K 10000 weighting --error-analysis dwPoints=4
run_case "error analysis Bayes NN 8, N 1e4" N10KM10K 10000 bayes --error-analysis bayesPoints=8
run_case "semivariogram sector, N 1e4 (pairs)" N10KM10K 49995000 variogram ""
run_case "semivariogram sector, N 1e5 (pairs)" $big 4999950000 variogram ""

echo
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
