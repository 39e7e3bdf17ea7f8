#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the window
# program need and this machine does not have yet. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev            # Qt 6 Widgets, D-Bus
    qt6-tools-dev qt6-l10n-tools      # lrelease for the interface's translations
    qt6-translations-l10n             # Qt's own Chinese texts (file dialog, buttons)
    libcli11-dev                      # command line of quorvane-cli
    libgtest-dev libgmock-dev         # tests
    libbenchmark-dev                  # benchmarks
    fonts-noto-cjk                    # a font with Simplified Chinese coverage
    xvfb xauth imagemagick            # looking at the window without a desktop
    openssl coreutils                 # independent results in tests and benchmarks
    dpkg-dev file appstream python3   # the Debian package (file: its shared-library dependencies)
    clang libclang-rt-dev             # libFuzzer targets (scripts/fuzz.sh)
    g++-mingw-w64-x86-64-posix        # the Windows build (scripts/build.sh windows)
    wine wine64                       # running the Windows tests
    googletest                        # GoogleTest's sources, built for Windows
)

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
