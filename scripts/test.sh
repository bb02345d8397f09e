#!/usr/bin/env bash
# Installs what is missing, builds Vorlix with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
# The file managers' entries are checked with Python under the Nautilus 4.0 introspection data.
scripts/install-deps.sh python3-gi gir1.2-nautilus-4.0
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORLIX_BUILD_TESTS=ON -DVORLIX_BUILD_BENCH=ON -DVORLIX_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 300
