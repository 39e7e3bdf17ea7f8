#!/usr/bin/env bash
# Set-up, a build of the programs as users get them (no tests), then the Debian
# package quorvane_<version>_<arch>.deb in the project folder. Install it with:
# sudo apt install ./quorvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package
scripts/build.sh app
(cd build-app && cpack -G DEB -B "$PWD/package" >/dev/null)
cp build-app/package/quorvane_*.deb .
rm -rf build-app/package/_CPack_Packages
ls quorvane_*.deb
