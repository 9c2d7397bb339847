#!/usr/bin/env bash
# Checks that every C and C++ source of the repository is formatted by the checked-in
# .clang-format. With --fix, formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.c' '*.h' '*.cpp' 2>/dev/null || find . -name '*.c' -o -name '*.h' -o -name '*.cpp')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files clean"
