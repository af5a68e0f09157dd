#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Qorvik Note Pad need.
# Does nothing when they are all present. Works as root, or as a user with sudo.
set -euo pipefail

packages=(
  cmake make g++
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  fonts-dejavu-core fonts-liberation
  xvfb xauth openbox x11-utils xdotool xclip imagemagick poppler-utils appstream
  clang libclang-rt-14-dev libasan8 libubsan1
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
# Recommended font packages would change what "monospace" resolves to.
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
