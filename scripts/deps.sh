#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running need, skipping
# those already installed, and with marrowdale_install_test_deps those that
# the benchmarks, the fuzz target and the generators add for ./test. Sourced by ./run and ./test.
marrowdale_install_deps() {
  local pkgs=(qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools
              gstreamer1.0-plugins-good gstreamer1.0-plugins-base libmpg123-0 kdegames-card-data-kf5
              cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
              zlib1g-dev libdeflate-dev libpng-dev qt6-documentation-tools libqt6sql6-sqlite xvfb xauth
              fonts-liberation2 fonts-liberation "$@")
  local missing=()
  local p
  for p in "${pkgs[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# The benchmarks (Google Benchmark; libspng and stb_image race our PNG
# decoder), the fuzz target (clang with its sanitizer and libFuzzer
# runtimes) and the check of the sources' layout (clang-format).
marrowdale_install_test_deps() {
  marrowdale_install_deps libbenchmark-dev libspng-dev libstb-dev clang libclang-rt-14-dev libgif-dev clang-format "$@"
}
