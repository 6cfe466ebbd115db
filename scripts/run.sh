#!/usr/bin/env bash
# Runs Tavil on the simulated handheld: interactively in a terminal, else as
# plain text (tavil-sim --help). Installs what the host build needs, builds the
# host release, and passes the arguments on, e.g. run.sh "#5".
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh --host
cmake --preset host-release >/dev/null
cmake --build --preset host-release -j"$(nproc)" --target tavil-sim >/dev/null
exec build/host-release/tavil-sim "$@"
