#!/usr/bin/env bash
# Writes the picture of an annotated plot (the drawing tools) into
# docs/screenshots/, on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default -j2 --target test_app
mkdir -p docs/screenshots
OLM_SCREENSHOT_DIR="$PWD/docs/screenshots" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1600x1000x24" \
  build/default/tests/app/test_app --gtest_filter='DrawingScreenshot.*'
echo "docs/screenshots/drawing-annotated-plot.png"
