#!/usr/bin/env bash
# Fails on a tracked source file that clang-format (with the .clang-format at the top)
# would change.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "format: every source file as .clang-format writes it"
