#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest.
# Environment: PRESET (debug or sanitize, from CMakePresets.json; default debug),
# OVN_WERROR (default OFF); extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
preset=${PRESET:-debug}
cmake --preset "$preset" -DOVN_WERROR="${OVN_WERROR:-OFF}" "$@"
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)" </dev/null
