#!/usr/bin/env bash
# Builds the fuzz targets of the GIS readers with clang (libFuzzer, address
# and undefined-behaviour sanitizers) in build-fuzz/ and runs each for
# SECONDS (default 60), from the seed corpus in fuzz/corpus/<target>. New
# inputs go to build-fuzz/corpus/<target>, so the repository's corpus stays
# small; a finding leaves its input as build-fuzz/finding-<target>-* and
# makes the script fail. Needs clang and libclang-rt-14-dev (apt-get).
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
targets=(fuzz_data_file fuzz_csv_import fuzz_crs_store)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORNAX_BUILD_FUZZ=ON \
  -DMORNAX_WITH_QT=OFF -DMORNAX_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target"
  echo "== $target, $seconds s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
      -artifact_prefix="$build/finding-$target-" "$build/corpus/$target" \
      "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
    status=1
    echo "finding: see $build/$target.log"
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs" "$build/$target.log" || true
done
exit "$status"
