#!/usr/bin/env bash
# Installs, from Debian's packages, what this machine does not have yet of
#   program  what building and running the programs needs (scripts/run.sh)
#   package  that, and what making the Debian package needs (scripts/package.sh)
#   windows  what cross-building the Windows programs and their package needs
#            (scripts/build.sh windows, scripts/package.sh windows)
#   all      that, and what the tests, benchmarks and fuzzing need
#            (scripts/test.sh; the default)
# Safe to run again.
set -euo pipefail

profile=${1:-all}
program=(
    build-essential cmake
    pkg-config                        # some of Qt's CMake files look their dependencies up with it
    qt6-base-dev libgl-dev            # Qt 6 Widgets, D-Bus
    qt6-tools-dev qt6-l10n-tools      # lrelease for the interface's translations
    qt6-translations-l10n             # Qt's own Chinese texts (file dialog, buttons)
    libcli11-dev                      # command line of quorvane-cli
    fonts-noto-cjk                    # a font with Simplified Chinese coverage
)
package=(
    dpkg-dev file                     # the Debian package (file: its shared-library dependencies)
)
windows=(
    cmake
    g++-mingw-w64-x86-64-posix        # the Windows build (scripts/build.sh windows)
    libcli11-dev                      # command line of quorvane-cli (header-only)
    googletest                        # GoogleTest's sources, built for Windows
)
checks=(
    libgtest-dev                      # tests
    libbenchmark-dev                  # benchmarks
    openssl coreutils                 # independent results in tests and benchmarks
    appstream                         # the package test validates the AppStream metainfo
    python3                           # the test that every interface text is translated
    clang libclang-rt-dev             # a user's clang build; libFuzzer targets (scripts/fuzz.sh)
    g++-mingw-w64-x86-64-posix        # the Windows build (scripts/build.sh windows)
    g++-mingw-w64-i686-posix          # the 32-bit Windows build (scripts/build.sh windows32)
    wine wine64                       # running the Windows tests
    xvfb                              # a display for the Windows window tests (xvfb-run)
    googletest                        # GoogleTest's sources, built for Windows
    libgcrypt20-dev                   # the peer of bench/file_crypt_vs_gcrypt.sh
)
case "$profile" in
    program) packages=("${program[@]}") ;;
    package) packages=("${program[@]}" "${package[@]}") ;;
    windows) packages=("${windows[@]}") ;;
    all) packages=("${program[@]}" "${package[@]}" "${checks[@]}") ;;
    *) echo "usage: $0 [program|package|windows|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
