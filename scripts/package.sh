#!/usr/bin/env bash
# Makes the Debian package ovenmenu_<version>_amd64.deb in the checkout's root:
# installs what is missing, builds Release with Debian's hardening flags into
# build-package, runs CPack's DEB generator, then checks the package: its list
# of files, lintian (no errors), desktop-file-validate, appstreamcli and the
# menu file type as shared-mime-info compiles it.
set -euo pipefail
cd "$(dirname "$0")/.."

# file: CPack finds the programs whose libraries become the dependencies with it.
scripts/install-deps.sh dpkg-dev file lintian desktop-file-utils appstream shared-mime-info
build_dir=build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DOVN_BUILD_TESTS=OFF -DOVN_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build_dir" -j"$(nproc)"
rm -f ovenmenu_*.deb "$build_dir"/ovenmenu_*.deb
(cd "$build_dir" && cpack -G DEB)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
deb=ovenmenu_${version}_amd64.deb
mv "$build_dir/$deb" .
echo "== $deb"
dpkg-deb --info "$deb"

echo "== files"
id=org.ovenmenu.editor
expected=(
    ./usr/bin/ovenmenu ./usr/bin/ovntool ./usr/libexec/ovenmenu/ovntool-card
    "./usr/share/applications/$id.desktop"
    ./usr/share/bash-completion/completions/ovntool
    ./usr/share/doc/ovenmenu/changelog.gz ./usr/share/doc/ovenmenu/copyright
    "./usr/share/icons/hicolor/scalable/apps/$id.svg"
    ./usr/share/man/man1/ovenmenu.1.gz ./usr/share/man/man1/ovntool.1.gz
    "./usr/share/metainfo/$id.metainfo.xml"
    ./usr/share/mime/packages/ovenmenu.xml
)
for size in 16 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x$size/apps/$id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libc6 libacl1 libattr1; do
    [[ $depends == *"$library"* ]] || { echo "Depends lacks $library: $depends"; exit 1; }
done

echo "== lintian"
lintian --fail-on error --display-level '>=warning' "$deb"

echo "== desktop entry, metainfo, menu file type"
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb --extract "$deb" "$contents"
desktop-file-validate "$contents/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$contents/usr/share/metainfo/$id.metainfo.xml"
mkdir -p "$contents/mime/packages"
cp "$contents/usr/share/mime/packages/ovenmenu.xml" "$contents/mime/packages/"
XDG_DATA_DIRS=$contents update-mime-database "$contents/mime"
grep -qx '50:application/x-ovenmenu:\*\.ovn' "$contents/mime/globs2" || { echo "no *.ovn glob"; exit 1; }
echo "package OK: $deb"
