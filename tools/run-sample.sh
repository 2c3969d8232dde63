#!/usr/bin/env bash
# The main job on the sample add-on folder: detects the add-ons in a copy of
# samples/addons and switches them through winter and back to summer with the
# season switching engine, showing what changed on disk.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target season-apply >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/season-sample.XXXXXX")
cp -r samples/addons/. "$work/"
driver=build/native/tools/season-apply
show() {
    echo "  Alpha Airfield\\Texture\\treesSU.bmp: $(cat "$work/Alpha Airfield/Texture/treesSU.bmp")"
    echo "  Taskelby X\\Texture\\x_trees.bmp:     $(cat "$work/Taskelby X/Texture/x_trees.bmp")"
    echo "  Quorrin\\Scenery:                     $(cd "$work/Quorrin/Scenery" && ls | tr '\n' ' ')"
    echo "  Norvasse X ground texture:           $(cat "$work/Norvasse X/Norvasse X - priority 2/Texture/TWEL_Ground.bmp")"
}
echo "Sample add-on folder: $work"
for step in "winter en yes" "autumn en no" "summer en no"; do
    set -- $step
    echo
    echo "== apply $1 (MipMap answer: $3)"
    "$driver" "$work" "$@"
    show
done
