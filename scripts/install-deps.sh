#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, when missing;
# arguments name more packages (scripts/package.sh adds the packaging tools).
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    xvfb openbox x11-utils  # bench/startup.sh: a real X server and window manager
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libxlsxwriter-dev libzip-dev libexpat1-dev
    libacl1-dev libattr1-dev  # a save carries the old file's ACL and extended attributes
    acl attr fusefat dosfstools  # tests: setfacl, getfattr, a FUSE FAT mount (mkfs.fat)
    fonts-dejavu-core
    poppler-utils  # the tests read the menu card back (pdftotext, pdfinfo, pdffonts)
    "$@"
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update </dev/null
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
fi
