#!/usr/bin/env bash
# Installs what is missing, builds Vorlix with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORLIX_BUILD_TESTS=ON -DVORLIX_BUILD_BENCH=ON -DVORLIX_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 300
