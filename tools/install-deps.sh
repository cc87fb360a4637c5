#!/usr/bin/env bash
# Installs what building, running and testing LED Banner needs on Debian (run as root).
set -euo pipefail

packages=(
  cmake make g++ python3 libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xdotool x11-utils imagemagick
  fonts-wqy-zenhei procps python3-tk
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
