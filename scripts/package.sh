#!/usr/bin/env bash
# Set-up, a build of the programs as users get them (no tests), then a package
# in the project folder:
#   scripts/package.sh          quorvane_<version>_<arch>.deb; install it with
#                               sudo apt install ./quorvane_*.deb
#   scripts/package.sh windows  quorvane-<version>-windows-x64.zip: the Windows
#                               programs and a read-me, cross-built with MinGW-w64
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-deb}" in
    deb)
        scripts/setup.sh package
        scripts/build.sh app
        (cd build-app && cpack -G DEB -B "$PWD/package" >/dev/null)
        cp build-app/package/quorvane_*.deb .
        rm -rf build-app/package/_CPack_Packages
        ls quorvane_*.deb
        ;;
    windows)
        scripts/setup.sh windows
        scripts/build.sh windows --target quorvane_windows_zip
        zip=$(ls build-windows/quorvane-*-windows-x64.zip)
        cp "$zip" .
        zip=$(basename "$zip")
        cmake -E tar tf "$zip"
        if ! cmake -E tar tf "$zip" | grep -q '/quorvane\.exe$'; then
            echo "note: this build has no Windows window program yet; $zip holds quorvane-cli.exe"
        fi
        ;;
    *) echo "usage: $0 [deb|windows]" >&2; exit 2 ;;
esac
