#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest.
# Environment: BUILD_DIR (default build), BUILD_TYPE (default Debug),
# OVN_WERROR (default OFF); extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" -DOVN_WERROR="${OVN_WERROR:-OFF}" "$@"
cmake --build "$build_dir" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" </dev/null
