#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it.
# ./run.sh [FILE.buf]
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
exec build/release/bin/tarvex "$@"
