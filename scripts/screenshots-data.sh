#!/usr/bin/env bash
# Pictures of the data dialogs ("Read Raw Data", "Data Set-Zone Data" and the
# raw-data editor) on the demo project, into docs/screenshots/.
# Needs the build (olm and bench_dialogs) and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build/default}
cmake --build --preset default -j2 --target olm bench_dialogs >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/src/cli/olm" demo "$work/demo" >/dev/null 2>&1
mkdir -p docs/screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$build/bench/bench_dialogs" --screenshots docs/screenshots "$work/demo/tensile.olm" samples
