#!/usr/bin/env bash
# Sets up, builds, and opens a database file: ./run.sh [FILE.mdf]
# Without a file it writes the sample database and opens that.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release >/dev/null

cli=build-release/bin/orodorev-cli
if [[ $# -lt 1 ]]; then
  build-release/bin/make_sample_db build-release/sample.mdf
  set -- build-release/sample.mdf
  tables=(dbo.Customers dbo.Orders)
else
  tables=()
fi
"$cli" info "$1"
echo
"$cli" scan "$1" --log-dir build-release
for table in "${tables[@]}"; do
  echo
  echo "== $table"
  "$cli" rows "$1" "$table"
done
