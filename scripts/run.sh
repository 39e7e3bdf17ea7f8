#!/usr/bin/env bash
# Set-up of what the program needs (no test tools), build, and start the
# window program. Arguments go to quorvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh program
scripts/build.sh app --target quorvane
exec build-app/quorvane "$@"
