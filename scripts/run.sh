#!/usr/bin/env bash
# Installs what brumbesang needs (Debian 12), builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  cmake make g++ pkg-config libfltk1.3-dev libsdl2-dev >/dev/null

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUMBESANG_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
exec build/brumbesang
