#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
# ./test.sh [PRESET]   (default: dev; also release, asan, tsan)
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh

preset="${1:-dev}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
