#!/usr/bin/env bash
# Fuzzes the result-file readers (.dat, .wl, .lev, .lst with the data file)
# for a bounded time with libFuzzer under the address and undefined-behaviour
# sanitizers.
#
#   fuzz/run-results.sh [SECONDS]     (default 60)
#
# Builds fuzz_result_files in build-fuzz/ with clang (MORNAX_BUILD_FUZZ=ON, no
# Qt, no tests) and runs it from the seeds in fuzz/corpus/fuzz_result_files;
# new inputs go to build-fuzz/corpus/fuzz_result_files, so the repository's
# corpus stays small. Prints the executions; a finding leaves its input as
# build-fuzz/finding-fuzz_result_files-* and makes the script fail. Needs
# clang and libclang-rt-14-dev (apt-get).
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
target=fuzz_result_files
command -v clang++ >/dev/null || { echo "needs clang: apt-get install clang libclang-rt-14-dev" >&2; exit 2; }

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORNAX_BUILD_FUZZ=ON \
  -DMORNAX_WITH_QT=OFF -DMORNAX_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null

mkdir -p "$build/corpus/$target"
log="$build/$target.log"
echo "== $target, $seconds s"
status=0
"$build/$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -dict="$root/fuzz/result_files.dict" \
  -artifact_prefix="$build/finding-$target-" "$build/corpus/$target" \
  "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
grep -E "stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs" "$log" || true
if [[ $status -ne 0 ]]; then
  echo "finding: see $log" >&2
  grep -E "ERROR|runtime error|SUMMARY" "$log" | head -20 >&2 || true
fi
exit "$status"
