#!/usr/bin/env bash
# Pictures of the plot view on each axis kind, the tree, plot and legend
# side by side, and the graph settings sheet, into docs/screenshots/.
# Runs the views on the demo project under Xvfb.
#
#   scripts/screenshots-views.sh [build folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/default}"
out="$root/docs/screenshots"
cmake --build "$build" --target olm view_screenshots
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/src/cli/olm" demo "$work" > /dev/null
mkdir -p "$out"
if command -v xvfb-run > /dev/null; then
  xvfb-run -a -s "-screen 0 1600x1000x24" "$build/tests/app/view_screenshots" "$work/tensile.olm" "$out"
else
  QT_QPA_PLATFORM=offscreen "$build/tests/app/view_screenshots" "$work/tensile.olm" "$out"
fi
