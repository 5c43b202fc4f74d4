#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libfontconfig1-dev libfreetype-dev libharfbuzz-dev libdeflate-dev libicu-dev libcups2-dev
  libpng-dev libjpeg-dev libwps-dev librevenge-dev libgmime-3.0-dev libxml2-dev libpaper-dev
  fonts-liberation fonts-liberation2 fonts-dejavu-core fonts-noto-cjk
  fonts-urw-base35 cups-daemon cups-client cups
  poppler-utils ghostscript python3
  qt6-base-dev libxcb1-dev
  desktop-file-utils xvfb xauth x11-utils xdotool imagemagick
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
