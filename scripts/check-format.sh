#!/usr/bin/env bash
# Fails when a C++ source of ours is not laid out as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find . \( -path ./build -o -path ./.git \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
    sort | xargs -r clang-format --dry-run --Werror
echo "layout as .clang-format says"
