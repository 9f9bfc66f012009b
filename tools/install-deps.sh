#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root).
# Idempotent: when every package is present it does nothing.
#   tools/install-deps.sh [--guest]   (--guest: also what the emulated 32-bit guest is built with)
set -euo pipefail

packages=(
  cmake make
  mingw-w64 g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32
  wine wine32:i386 wine64 xvfb xauth x11-utils xdotool gcab
  fonts-liberation fonts-ipafont-gothic fonts-wqy-microhei googletest imagemagick locales
  clang libclang-rt-14-dev
  cups printer-driver-cups-pdf poppler-utils
)
if [ "${1:-}" = --guest ]; then
  packages+=(qemu-system-x86 mmdebstrap gpg kmod cpio e2fsprogs)
fi

# Unix locales that pick the ANSI code page of each user-interface language under Wine.
read -r -d '' -a locales <"$(dirname "$0")/test-locales.txt" || true
missing_locales() {
  local have; have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
  for l in "${locales[@]}"; do
    echo "$have" | grep -qx "$(echo "$l" | tr 'A-Z' 'a-z').utf8" || echo "$l"
  done
}

missing=()
have_i386=$(dpkg --print-foreign-architectures | grep -qx i386 && echo yes || echo no)
for p in "${packages[@]}"; do
  if [ "$have_i386" = no ] || ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ] && [ -z "$(missing_locales)" ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}; run this script as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ "$have_i386" = no ]; then
  dpkg --add-architecture i386
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
for l in $(missing_locales); do
  grep -qx "$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >> /etc/locale.gen
done
locale-gen >/dev/null
