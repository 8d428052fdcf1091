#!/usr/bin/env bash
# Installs what the workbench needs on Debian 12 (as root, or through sudo).
set -euo pipefail
PKGS=(build-essential cmake pkg-config
      qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
      libxlsxwriter-dev liburing-dev fonts-noto-cjk fonts-arphic-ukai fonts-arphic-uming
      libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
      xvfb xauth imagemagick poppler-utils unzip locales python3 xdotool)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
