#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, when missing.
# Not root: names the missing packages and fails.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 googletest
          wine wine32:i386 fonts-wine xvfb xdotool imagemagick x11-utils ghostscript
          clang libclang-rt-14-dev python3 python3-dbfread python3-dbf libdbd-xbase-perl)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them as root (dpkg --add-architecture i386; apt-get update; apt-get install ...)," >&2
  echo "or run this command as root." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
