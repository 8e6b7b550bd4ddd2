#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures and builds everything with Ninja into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libpng-dev libcairo2-dev libjpeg62-turbo-dev
  fonts-liberation fonts-dejavu-core fonts-ipafont-gothic
  qt6-base-dev
  liberfa-dev libnova-dev
  xvfb xdotool x11-apps x11-utils openbox libx11-dev desktop-file-utils
  tesseract-ocr tesseract-ocr-eng
  libindi-dev indi-bin
  poppler-utils
  lintian appstream dpkg-dev file
  faketime syncthing
  libsqlite3-dev libxml2-dev libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir=${QUENLIRA_BUILD_DIR:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir"
