#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only those missing.
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n libsqlite3-dev libzip-dev
          libpugixml-dev libgtest-dev libbenchmark-dev fonts-dejavu-core libxlsxwriter-dev python3-openpyxl
          clang-format postgresql libpq-dev libfreexl-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Устанавливаются пакеты: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
fi
