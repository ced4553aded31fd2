# Shared by ./scripts/run and ./scripts/test: installs what a fresh Debian
# machine lacks and configures and builds the project in build/.

MORNAX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
MORNAX_PACKAGES=(cmake make g++ binutils libgtest-dev libbenchmark-dev libblas-dev qt6-base-dev
                 qt6-svg-dev libgdal-dev gdal-bin clang-format
                 # The Python package, its tests, examples and tiles on Dask.
                 pybind11-dev python3-dev python3-numpy python3-pytest python3-xarray
                 python3-rioxarray python3-rasterio python3-geopandas python3-pyproj
                 python3-dask python3-distributed python3-tqdm python3-matplotlib python3-psutil)

mornax_missing_packages() {
  local missing=()
  for package in "${MORNAX_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  echo "${missing[@]}"
}

mornax_install_dependencies() {
  local missing
  missing="$(mornax_missing_packages)"
  if [[ -n "$missing" ]]; then
    echo "Installing: $missing"
    local sudo=()
    [[ "$(id -u)" -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends $missing
  fi
}

mornax_jobs() { nproc 2>/dev/null || echo 2; }

# Extra arguments (-D options) go to the configure step.
mornax_build() {
  cmake -S "$MORNAX_ROOT" -B "$MORNAX_ROOT/build" -DCMAKE_BUILD_TYPE=Release "$@"
  cmake --build "$MORNAX_ROOT/build" -j"$(mornax_jobs)"
}

# Every C++ source and header of the project, for the format check.
mornax_cpp_sources() {
  (cd "$MORNAX_ROOT" &&
    find engine project geo cli gui tests bench python -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
}
