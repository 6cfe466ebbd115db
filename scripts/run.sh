#!/usr/bin/env bash
# Runs Tavil on the simulated handheld. Installs what is missing, builds the
# host release, and passes the arguments on, e.g. run.sh "#5".
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake --preset host-release >/dev/null
cmake --build --preset host-release -j"$(nproc)" >/dev/null
exec build/host-release/tavil-sim "$@"
