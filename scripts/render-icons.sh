#!/usr/bin/env bash
# Renders app/icons/ovenmenu.svg into the PNG sizes the icon theme and the
# window icon use (app/icons/ovenmenu-N.png). Run after changing the SVG and
# commit the PNGs: neither the build nor the package needs an SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v rsvg-convert >/dev/null; then
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends librsvg2-bin </dev/null
fi
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "app/icons/ovenmenu-$size.png" app/icons/ovenmenu.svg
done
ls -l app/icons/*.png
