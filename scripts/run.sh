#!/usr/bin/env bash
# Installs what brumbesang needs (Debian 12), builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install.sh cmake make g++ pkg-config libgtk-3-dev libsdl2-dev

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec build/brumbesang
