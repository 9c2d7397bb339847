#!/usr/bin/env bash
# Rewrites tests/golden/golden_hashes.txt from the current build (default folder: build). Run it
# only when a change is meant to alter output, and say in the commit message why it does.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target glyphmill_tests_golden glyphmill-cli
GLYPHMILL_UPDATE_GOLDEN=1 QT_QPA_PLATFORM=offscreen "$build/tests/golden/glyphmill_tests_golden"
git --no-pager diff --stat -- tests/golden/golden_hashes.txt || true
