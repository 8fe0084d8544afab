#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and benchmarking Wend need.
# Runs apt-get only when something is missing, so repeated `make` calls stay quick.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libxml2-dev libxml2-utils libicu-dev nlohmann-json3-dev zlib1g-dev
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-webengine-dev qt6-webengine-dev-tools
  libgl-dev libjs-leaflet
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  gpsbabel hyperfine time python3 python3-gpxpy xvfb xauth
  fonts-dejavu-core
  desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin xdotool dbus-daemon
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
