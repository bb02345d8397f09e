#!/usr/bin/env bash
# Installs what is missing, builds Vorlix and its Debian package into build/.
# Install it with: sudo apt install ./build/vorlix_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
tests=()
# A fresh build folder gets no tests; one that has them keeps them.
if [ ! -f build/CMakeCache.txt ]; then tests=(-DVORLIX_BUILD_TESTS=OFF); fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${tests[@]}" >/dev/null
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
ls build/vorlix_*.deb
