#!/usr/bin/env bash
# Builds the command-line converter and converts the bundled example plot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target tessella
./build/default/tessella examples/floorplan.plt
echo "Metafile: $root/examples/floorplan.emf"
echo "Log:      $root/examples/floorplan.log"
