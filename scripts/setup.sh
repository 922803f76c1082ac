#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. As root it installs what
# is missing; otherwise it prints the command to run and stops.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev
  libcli11-dev nlohmann-json3-dev
  python3
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
else
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
