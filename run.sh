#!/usr/bin/env bash
# Sets up, builds, and opens a database file: ./run.sh FILE.mdf
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build >/dev/null

if [[ $# -lt 1 ]]; then
  echo "usage: ./run.sh FILE.mdf" >&2
  exit 2
fi
build/bin/orodorev-cli info "$1"
build/bin/orodorev-cli pages "$1"
