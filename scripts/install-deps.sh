#!/usr/bin/env bash
# Installs the Debian packages that building and testing metdb needs, and only
# those that are missing. Safe to run again; does nothing when all are present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  doxygen dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev tzdata
  libgeographiclib-dev libcairo2-dev libicu-dev libtimezonemap-data fonts-dejavu-core libsqlite3-dev
  clang libclang-rt-14-dev valgrind
  python3-dev pybind11-dev python3-pybind11 python3-pytest python3-numpy python3-pandas
  bash-completion groff-base
  libcpp-httplib-dev gdal-bin python3-gdal chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep 'install ok installed' >/dev/null || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
