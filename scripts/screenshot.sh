#!/bin/sh
# Makes docs/screenshot.png: the main window after a generation, on the Composite page (the texture
# blended by its mask over the checkerboard, as an engine draws it) zoomed to 200 %, with one cell
# framed as hovering frames it. Rendered under Xvfb when it is installed (apt-get install xvfb),
# otherwise on Qt's offscreen platform.
#
#   scripts/screenshot.sh [BUILD_DIR]      (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DGLYPHMILL_BUILD_GUI=ON
fi
cmake --build "$build" --target glyphmill_window_screenshot
mkdir -p "$root/docs"
out="$root/docs/screenshot.png"

# From the build folder, so that the window finds the plug-ins in plugins/.
cd "$build"
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/ui/glyphmill_window_screenshot" "$out"
else
  QT_QPA_PLATFORM=offscreen "$build/tests/ui/glyphmill_window_screenshot" "$out"
fi
