#!/bin/sh
# Builds the Debian package from the build folder given as $1 (into a
# temporary folder) and checks that it holds what a desktop installation needs,
# with dependencies computed from the binaries. Skipped (77) without dpkg-deb.
set -eu
build=$1
command -v dpkg-deb >/dev/null 2>&1 || { echo "dpkg-deb not found: skipped"; exit 77; }
command -v dpkg-shlibdeps >/dev/null 2>&1 || { echo "dpkg-dev not found: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
deb=$(ls "$work"/quorvane_*_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"

status=0
for path in \
    /usr/bin/quorvane \
    /usr/bin/quorvane-cli \
    /usr/share/applications/quorvane.desktop \
    /usr/share/icons/hicolor/scalable/apps/quorvane.svg \
    /usr/share/icons/hicolor/48x48/apps/quorvane.png \
    /usr/share/icons/hicolor/256x256/apps/quorvane.png \
    /usr/share/metainfo/org.example.quorvane.metainfo.xml \
    /usr/share/man/man1/quorvane.1.gz \
    /usr/share/man/man1/quorvane-cli.1.gz \
    /usr/share/bash-completion/completions/quorvane-cli \
    /usr/share/quorvane/translations/quorvane_en.qm; do
    grep -qx "$path" "$work/files" || { echo "missing from the package: $path"; status=1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | grep -q 'libqt6widgets6' || { echo "Depends lacks Qt 6 Widgets"; status=1; }
echo "$depends" | grep -q 'libc6' || { echo "Depends lacks libc6"; status=1; }
case $(basename "$deb") in
    quorvane_*_"$(dpkg --print-architecture)".deb) ;;
    *) echo "unexpected package name $(basename "$deb")"; status=1 ;;
esac

if command -v appstreamcli >/dev/null 2>&1; then
    dpkg-deb -x "$deb" "$work/root"
    appstreamcli validate --no-net \
        "$work/root/usr/share/metainfo/org.example.quorvane.metainfo.xml" || status=1
fi
exit $status
