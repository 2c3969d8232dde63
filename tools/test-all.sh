#!/usr/bin/env bash
# Installs what is missing, builds the presets and runs every test: the native unit
# tests under AddressSanitizer and UBSan, the fuzz target's bounded run, then the
# Windows build's tests under Wine (with a virtual display for the window tests).
# Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh || { echo "installing the build tools failed"; exit 1; }

passed=0
failed=0
status=0
note() { printf '\n== %s\n' "$*"; }

# Adds the counts of one ctest run to the totals.
count_ctest() {
    local log=$1 line total fail
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    fail=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - fail))
    failed=$((failed + fail))
}

run_preset() {
    local preset=$1
    shift # further arguments go to ctest
    note "configure and build: $preset"
    cmake --preset "$preset" >"build/build-$preset.log" 2>&1 &&
        cmake --build --preset "$preset" >>"build/build-$preset.log" 2>&1
    if [ $? -ne 0 ]; then
        tail -n 60 "build/build-$preset.log"
        echo "build of $preset failed"
        failed=$((failed + 1))
        status=1
        return
    fi
    note "tests: $preset"
    ctest --preset "$preset" "$@" 2>&1 | tee "build/ctest-$preset.log" | grep -vE '^ +Start ' | tail -n 40
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    count_ctest "build/ctest-$preset.log"
}

mkdir -p build

run_preset native
# libFuzzer targets, each fuzzing for a bounded time (about a minute).
run_preset fuzz

# The window tests need a display; start a virtual one when there is none.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:97
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
fi
# The Windows programs are built as they ship (32-bit); Wine runs their tests where
# the machine runs 32-bit code. Elsewhere the 32-bit build only has its imports
# checked, and the tests run on the same code built for 64-bit Windows.
wine_preset=$(bash tools/wine-preset.sh)
if [ "$wine_preset" = windows ]; then
    run_preset windows
else
    note "this machine runs no 32-bit programs: the Wine tests run on the 64-bit build"
    run_preset windows -R program_imports
    run_preset windows64
fi
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null

# The release archive: both programs, both guides (Markdown and HTML) and the NSIS
# include with its sample script.
note "release archive"
if bash tools/release.sh >build/release.log 2>&1 &&
    python3 - <<'PY'
import glob, sys, zipfile
names = {n.split("/", 1)[1] for n in zipfile.ZipFile(sorted(glob.glob("dist/brightmere-*.zip"))[-1]).namelist()}
want = {"season.exe", "sweepstone.exe", "user-guide.md", "uninstall-log-format.md",
        "user-guide.html", "uninstall-log-format.html", "nsis/sweepstone.nsh",
        "nsis/sample-product.nsi"}
missing = want - names
print("release archive holds", ", ".join(sorted(want & names)))
# Each page names its encoding and title and holds its guide's text.
archive = zipfile.ZipFile(sorted(glob.glob("dist/brightmere-*.zip"))[-1])
for page in [n for n in archive.namelist() if n.endswith(".html")]:
    text = archive.read(page).decode("utf-8")
    if '<meta charset="utf-8">' not in text or "<title></title>" in text or "<h2>" not in text:
        print("release archive: a page without its head or text:", page)
        missing.add(page)
sys.exit(1 if missing else 0)
PY
then
    passed=$((passed + 1))
else
    tail -n 20 build/release.log
    echo "release archive: FAILED"
    failed=$((failed + 1))
    status=1
fi

echo
echo "summary: $passed passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
