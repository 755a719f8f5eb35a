#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; quiet when all are there.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl1-mesa-dev
  libpq-dev libcurl4-openssl-dev nlohmann-json3-dev libcpp-httplib-dev libssl-dev
  googletest libgtest-dev libbenchmark-dev
  postgresql-15 postgresql-client-15 openssl python3
  xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-liberation2 jq
  dpkg-dev file lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
