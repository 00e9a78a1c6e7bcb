#!/bin/sh
# Pictures of the desktop program for the README, taken from the real
# program under a virtual X server: the main window with the demo project,
# the report viewer on its report, and the manual.  Output: docs/screenshots/.
#
#   scripts/screenshots.sh [BUILD_DIR]      (default build/default)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
out=$root/docs/screenshots
olm=$build/src/cli/olm
desktop=$build/src/app/olm-desktop
for program in "$olm" "$desktop"; do
  if [ ! -x "$program" ]; then
    echo "screenshots: $program is missing; run 'make' first" >&2
    exit 1
  fi
done
command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run is missing (apt-get install xvfb)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$olm" demo "$work/demo" >/dev/null
mkdir -p "$out"
# A settings store of its own, so that the pictures do not depend on (or
# change) the user's window layout and recent files.
export XDG_CONFIG_HOME="$work/config"
export OLM_DESKTOP_SCREENSHOTS="$out"
xvfb-run -a -s "-screen 0 1600x1000x24" "$desktop" -platform xcb "$work/demo/tensile.olm"
ls -l "$out"

# The plot view on each axis kind with the legend, tree and settings sheet;
# the data dialogs; the engineering tools; an annotated plot.
cd "$root"
for part in views data tools drawing; do
  echo "screenshots: $part"
  BUILD_DIR="$build" "$root/scripts/screenshots-$part.sh" "$build"
done
