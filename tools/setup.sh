#!/usr/bin/env bash
# Installs what the builds, tests and benchmarks need on a Debian 12 machine.
# Idempotent: packages already present are left alone, and nothing is
# installed when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  googletest libgtest-dev libbenchmark-dev
  wine wine32:i386 fonts-wine xvfb xauth xdotool x11-utils imagemagick libx11-dev libxtst-dev
  vgabios libsdl2-dev libpixman-1-dev valgrind python3
  # A German system for the end-to-end tests: the locale compiled from its
  # sources into a folder of the build tree, not installed.
  locales
  # The HTML report rendered and read back as a browser shows it, and read
  # by an HTML5 checker.
  chromium tidy
  # OpenGL under Wine: Mesa's software renderer for the 32-bit programs, and
  # for the X server's GLX.
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libgl1-mesa-dri
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

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
