#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over the core, the CLI, the Qt window, the plug-in
# host and the shipped plug-ins (not the tests), using BUILD_DIR/compile_commands.json. The window's
# files need a build with the GUI (its generated moc headers) in BUILD_DIR; without one they are
# left out.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
folders=('settings/*.cpp' 'render/*.cpp' 'export/*.cpp' 'project/*.cpp' 'app/*.cpp' 'cli/*.cpp' 'host/*.cpp'
         'plugins/*.cpp')
if grep -q '"file": ".*/ui/main_window.cpp"' "$build/compile_commands.json"; then folders+=('ui/*.cpp'); fi
mapfile -t files < <(git ls-files "${folders[@]}")
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet
echo "clang-tidy: ${#files[@]} files clean"
