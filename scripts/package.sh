#!/usr/bin/env bash
# Set-up, release build, then the Debian package quorvane_<version>_<arch>.deb
# in the project folder. Install it with: sudo apt install ./quorvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
(cd build && cpack -G DEB -B "$PWD/package" >/dev/null)
cp build/package/quorvane_*.deb .
rm -rf build/package/_CPack_Packages
ls quorvane_*.deb
