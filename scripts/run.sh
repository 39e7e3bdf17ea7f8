#!/usr/bin/env bash
# Set-up, build, and start the window program. Arguments go to quorvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exec build/app/quorvane "$@"
