#!/usr/bin/env bash
# Installs the Debian packages of one set, and does nothing when they are all
# present. Works as root, or as a user with sudo.
#   install-deps.sh run    building and running the editor, and its package
#   install-deps.sh test   the above, plus the tests: real windows under Xvfb
#                          (end-to-end checks, screenshots), the AppStream
#                          check, the sanitizers and the fuzz targets
set -euo pipefail

run=(
  cmake make g++
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  fonts-dejavu-core fonts-liberation
)
test=(
  "${run[@]}"
  xvfb xauth openbox x11-utils xdotool xclip imagemagick poppler-utils appstream
  clang libclang-rt-14-dev libasan8 libubsan1
)

case "${1:-run}" in
  run) packages=("${run[@]}") ;;
  test) packages=("${test[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

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
