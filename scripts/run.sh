#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target ovenmenu ovntool ovntool-card
exec build-release/app/ovenmenu "$@"
