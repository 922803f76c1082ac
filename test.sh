#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORODOREV_SANITIZE=ON
cmake --build build-asan
cd build-asan
ctest --output-on-failure -j "$(nproc)"
