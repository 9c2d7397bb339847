#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over the core, the CLI, the plug-in host and the
# shipped plug-ins (not the tests, not the Qt window), using BUILD_DIR/compile_commands.json.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
mapfile -t files < <(git ls-files 'settings/*.cpp' 'render/*.cpp' 'export/*.cpp' 'project/*.cpp' 'app/*.cpp' \
                                  'cli/*.cpp' 'host/*.cpp' 'plugins/*.cpp' | grep -v '^app/main.cpp$')
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet
echo "clang-tidy: ${#files[@]} files clean"
