#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DOVN_BUILD_TESTS=OFF -DOVN_BUILD_BENCH=OFF
cmake --build build-release -j"$(nproc)" --target ovenmenu ovntool
exec build-release/app/ovenmenu "$@"
