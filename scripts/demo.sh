#!/usr/bin/env bash
# Sets up, builds and plays the demo from the repository root, where config.json and assets/ are.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/flumbadoo
