#!/usr/bin/env bash
# Fuzzes the result-file readers for a bounded time with libFuzzer under
# the address and undefined-behaviour sanitizers.
#
#   fuzz/run-results.sh [SECONDS]     (default 60)
#
# Builds build-fuzz/ with clang (MORNAX_FUZZ=ON, no Qt, no tests), starts
# from the seeds in fuzz/corpus/result_files (kept in the repository) and
# grows a working corpus in build-fuzz/corpus-results. Prints the number of
# executions and any finding; a crash or sanitizer report is saved as
# build-fuzz/findings-results/crash-* and ends the script with status 1.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
command -v clang++ >/dev/null || { echo "needs clang: apt-get install clang libclang-rt-14-dev" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORNAX_FUZZ=ON -DMORNAX_WITH_QT=OFF -DMORNAX_BUILD_TESTS=OFF -DMORNAX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target mornax_results_fuzz >/dev/null

mkdir -p "$build/corpus-results" "$build/findings-results"
log="$build/fuzz-results.log"
set +e
"$build/mornax_results_fuzz" "$build/corpus-results" "$root/fuzz/corpus/result_files" \
  -dict="$root/fuzz/result_files.dict" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$build/findings-results/" >"$log" 2>&1
status=$?
set -e
grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ +DONE" "$log" || true
if [[ $status -ne 0 ]]; then
  echo "FINDING (status $status): see $log and $build/findings-results/" >&2
  grep -E "ERROR|runtime error|SUMMARY" "$log" | head -20 >&2 || true
  exit 1
fi
echo "no findings in $seconds s"
