#!/bin/sh
# Anisotropic and nested kriging against R's gstat on generated data (the
# same models, every point a neighbour): prints the largest relative
# differences of estimates and standard errors. Needs the Debian packages
# r-base-core, r-cran-gstat and r-cran-sp, and a build with benchmarks.
#
#   bench/gstat_compare.sh [BUILD_DIR]
set -eu
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/mornax_gstat_cases" "$work"
Rscript "$(dirname "$0")/gstat_compare.R" "$work"
