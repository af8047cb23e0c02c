#!/usr/bin/env bash
# Installs what is missing, builds the program and its data (not the tests,
# benchmarks or fuzz replays: ./test.sh builds those) and runs it.
# ./run.sh [FILE.buf]
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh

echo "Configuring the release build in build/release"
cmake --preset release >/dev/null
# The program, the data copied beside it and the generated sample soundings;
# the build shows its progress (the first build takes a few minutes).
echo "Building the program and its data"
cmake --build --preset release --target tarvex tarvex_data_files tarvex_sample_soundings
exec build/release/bin/tarvex "$@"
