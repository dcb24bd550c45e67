#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# Runs apt-get as root, or through sudo. With the argument "windows": what `make wintest` needs
# instead (the MinGW-w64 cross compiler, GoogleTest's sources, Wine).
set -euo pipefail

windows_packages=(cmake make g++-mingw-w64-x86-64-posix googletest wine wine64 util-linux)

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils x11-apps xclip imagemagick trayer faketime libx11-dev libxcb1-dev locales
  fonts-ipafont-gothic fonts-ipafont-mincho tzdata
  clang libclang-rt-14-dev llvm
  desktop-file-utils appstream lintian file man-db
  dbus weston xwayland qt6-wayland
  python3
)

if [ "${1:-}" = windows ]; then
  packages=("${windows_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "velmorax: these packages are missing and there is no root or sudo to install them: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"$(dirname "$0")/apt-update.sh" "${sudo[@]}"
"${sudo[@]}" apt-get install -y -q -o Acquire::Retries=3 --no-install-recommends "${missing[@]}"
