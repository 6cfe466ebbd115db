#!/usr/bin/env bash
# Runs Tavil on the simulated handheld: interactively in a terminal, else as
# plain text (tavil-sim --help). Installs what the host build needs, builds the
# host release, and passes the arguments on, e.g. run.sh "#5". The program runs
# in the folder the user is in, so that relative paths (--script, --state) are
# taken from there.
set -euo pipefail
repository=$(cd "$(dirname "$0")/.." && pwd)

(
    cd "$repository"
    scripts/install-dependencies.sh --host
    cmake --preset host-release >/dev/null
    cmake --build --preset host-release -j"$(nproc)" --target tavil-sim >/dev/null
)
exec "$repository/build/host-release/tavil-sim" "$@"
