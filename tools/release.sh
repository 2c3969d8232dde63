#!/usr/bin/env bash
# Builds both Windows programs (the windows preset) and packs what users take into
# one versioned archive: dist/brightmere-<version>.zip, holding a folder of the same
# name with season.exe, sweepstone.exe, the user guide (English and German) and the
# installer author's guide to the uninstall log, each guide as Markdown and as an
# HTML page that any Windows opens with a double click (made by cmark), and the
# NSIS include with the sample product script (nsis/). The version is the project's.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(Brightmere VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
name=brightmere-$version

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target season sweepstone

stage=build/release/$name
rm -rf build/release
mkdir -p "$stage" dist
cp build/windows/season/window/win32/season.exe \
   build/windows/sweepstone/win32/sweepstone.exe \
   docs/user-guide.md docs/uninstall-log-format.md "$stage/"
# The guides as HTML: cmark's body (raw HTML in the Markdown is left out) in a small
# page of our own that says its encoding and carries the guide's first heading as
# its title. Links between the guides point at the HTML pages.
page() {
    local markdown=$1 out=$2 title
    title=$(sed -n 's/^# //p' "$markdown" | head -n 1 |
        sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g')
    {
        printf '<!DOCTYPE html>\n<html>\n<head>\n<meta charset="utf-8">\n'
        printf '<title>%s</title>\n</head>\n<body>\n' "$title"
        cmark --to html "$markdown" | sed -E 's/href="([a-z-]+)\.md(#[^"]*)?"/href="\1.html\2"/g'
        printf '</body>\n</html>\n'
    } >"$out"
}
page docs/user-guide.md "$stage/user-guide.html"
page docs/uninstall-log-format.md "$stage/uninstall-log-format.html"
mkdir -p "$stage/nsis"
cp samples/installer/sweepstone.nsh samples/installer/sample-product.nsi "$stage/nsis/"
# Symbols are no use to users; the programs stay one static file each.
if command -v i686-w64-mingw32-strip >/dev/null; then
    i686-w64-mingw32-strip "$stage/season.exe" "$stage/sweepstone.exe"
fi

rm -f "dist/$name.zip"
(cd build/release && cmake -E tar cf "../../dist/$name.zip" --format=zip "$name")
echo "release: dist/$name.zip"
python3 - "dist/$name.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        print(f"  {i.file_size:>9}  {i.filename}")
PY
