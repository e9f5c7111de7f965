#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent, and quick when all is present.
set -euo pipefail

packages=(
  g++ clang libclang-rt-14-dev cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2
  libgsf-bin python3-olefile libolecf-utils dbus xvfb xauth imagemagick
  qt6-svg-dev poppler-utils librsvg2-bin
  libchm-dev lazarus-doc-2.2
  doxygen desktop-file-utils shared-mime-info man-db dpkg-dev
  at-spi2-core python3-pyatspi xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
