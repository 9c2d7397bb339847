#!/bin/sh
# Optional acceptance check, not part of ctest: independent BMFont and PNG readers from npm read
# what the shipped exporters write.
#   tests/plugins/acceptance/run_acceptance.sh BUILD_DIR [SCRATCH_DIR]
# BUILD_DIR holds tests/plugins/plugins_acceptance_samples and plugins/*.so. The npm packages are
# installed into SCRATCH_DIR (default /tmp/glyphmill-bmcheck), never into the repository.
set -eu
build=$(cd "$1" && pwd)
scratch=${2:-/tmp/glyphmill-bmcheck}
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$scratch/samples"
if [ ! -d "$scratch/node_modules/parse-bmfont-binary" ] || [ ! -d "$scratch/node_modules/pngjs" ]; then
  (cd "$scratch" && npm install --no-save --no-audit --no-fund \
    parse-bmfont-ascii parse-bmfont-xml parse-bmfont-binary pngjs >/dev/null)
fi
rm -f "$scratch/samples/"*
"$build/tests/plugins/plugins_acceptance_samples" "$scratch/samples"
NODE_PATH="$scratch/node_modules" node "$here/check_outputs.js" "$scratch/samples"
