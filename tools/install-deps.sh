#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, running and
# testing tessivar need; does nothing when they are all there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
  clang-format python3
  g++-mingw-w64-x86-64-posix wine64 wine fonts-wine
  xvfb xdotool imagemagick socat faketime procps
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
