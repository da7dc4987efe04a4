#!/usr/bin/env bash
# Sets up what the build needs (Debian 12, as root or with sudo), builds
# everything and runs every test. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
. ./scripts/dependencies.sh
install_dependencies
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVORINE_WERROR=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
