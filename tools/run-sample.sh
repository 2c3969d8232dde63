#!/usr/bin/env bash
# Builds season.exe and runs it under Wine on a copy of the sample add-on folder
# samples/addons, with the program placed inside the copy as a user places it.
# With a display the window opens there; close it to end. Without one the program
# runs on a virtual display, and a screenshot of its window is saved and its path
# printed. Wine runs in a sandboxed prefix (see tools/wine-sandbox-run.sh), so the
# program sees only its own drive C:.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
preset=$(bash tools/wine-preset.sh)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target season >/dev/null

exe=build/$preset/season/window/win32/season.exe
[ "$preset" = windows ] || echo "This machine runs no 32-bit programs: showing the 64-bit build of the same code."
export WINE_SANDBOX="$PWD/build/sample-sandbox"
export WINE_SANDBOX_BESIDE="$PWD/samples/addons"
echo "Sample add-on folder (inside the Wine prefix): C:\\run\\season\\"

if [ -n "${DISPLAY:-}" ]; then
    echo "Opening the switcher's window; close it to end."
    bash tools/wine-sandbox-run.sh "$exe"
    exit 0
fi

# No display: a virtual one, a screenshot, then the program is ended.
mkdir -p build/test-output
shot="$PWD/build/test-output/season-sample.png"
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$displayfile"' EXIT
for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$displayfile")"

bash tools/wine-sandbox-run.sh "$exe" &
runner=$!
window=""
for _ in $(seq 120); do
    window=$(xdotool search --name '^Brightmere Turnleaf$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.5
done
if [ -z "$window" ]; then
    echo "the switcher's window did not appear"
    exit 1
fi
sleep 2 # let it finish painting
import -window "$window" "$shot"
echo "Screenshot of the switcher's window: $shot"
WINEPREFIX="$WINE_SANDBOX/prefix" HOME="$WINE_SANDBOX/home" wineserver -k || true
wait "$runner" 2>/dev/null || true
