#!/usr/bin/env bash
# Fails when a C++ source of ours is not laid out as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find clock device info platform resources setup shell trayicon tests \
    -name '*.cpp' -o -name '*.h' | sort | xargs -r clang-format --dry-run --Werror
echo "layout as .clang-format says"
