#!/usr/bin/env bash
# Photographs the tool dialogs (distribution analysis and its graph, MAT213
# input data, failure surface) under Xvfb into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
cmake --build --preset default -j2 --target test_app
mkdir -p "$out"
OLM_SCREENSHOT_DIR="$(cd "$out" && pwd)" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1600x1000x24" \
  build/default/tests/app/test_app --gtest_also_run_disabled_tests \
  --gtest_filter='DISABLED_ToolScreenshots.*'
ls -1 "$out"/tools-*.png
