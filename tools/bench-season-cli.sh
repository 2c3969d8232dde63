#!/usr/bin/env bash
# Measures season.exe under Wine switching a tree of the 25 catalogue add-ons plus
# 200 generic ones (textures of 1 to 4 MiB) to winter from the command line, and
# cp copying the same bytes: the files the switch wrote, copied from the same
# folder on the same disk right afterwards. Both write into the page cache (no
# sync in either timing); the sources are read from a warm cache in both. Prints
# both times and the ratio (cp time / switch time: 1.0 means as fast as cp).
# Needs the native and windows presets built.
#   bash tools/bench-season-cli.sh [GENERIC_COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
count=${1:-200}
work="$root/build/season-cli-bench"
stage="$work/stage"

rm -rf "$stage" "$work/copy"
mkdir -p "$stage"
cp build/windows/season/window/win32/season.exe "$stage/season.exe"
build/native/tools/season-bench-tree "$stage" "$count"

# The tree lies in the sandbox as C:\run\season-cli-bench\data\ beside the driver.
export WINE_SANDBOX="$work/sandbox"
export WINE_SANDBOX_DATA="$stage"
sync
out=$(bash tools/wine-sandbox-run.sh build/windows/tools/season-cli-bench.exe 30 | tr -d '\r')
echo "$out"
data="$WINE_SANDBOX/prefix/drive_c/run/season-cli-bench/data"
seconds=$(echo "$out" | awk '/season.exe seconds/ {print $3}')
report=$(cat "$data/season-report.txt" | tr -d '\r')
echo "report: $report"

# The files the switch wrote (created or changed after the stamp), copied again.
cd "$data"
find . -type f -cnewer bench-start.stamp ! -name season-report.txt ! -name bench-start.stamp \
    -printf '%P\n' | sort > "$work/written.txt"
files=$(wc -l < "$work/written.txt")
bytes=$(tr '\n' '\0' < "$work/written.txt" | xargs -0 stat -c %s | awk '{s+=$1} END {print s}')
mkdir -p "$work/copy"
sync
sleep 5
start=$(date +%s.%N)
tr '\n' '\0' < "$work/written.txt" | xargs -0 cp --parents -t "$work/copy"
end=$(date +%s.%N)
cd "$root"
cp_seconds=$(echo "$end - $start" | bc -l)
printf 'written by the switch: %d files, %.1f MiB\n' "$files" "$(echo "$bytes / 1048576" | bc -l)"
printf 'season.exe under Wine: %.3f s (%.1f MiB/s)\n' "$seconds" "$(echo "$bytes / 1048576 / $seconds" | bc -l)"
printf 'cp of the same bytes:  %.3f s (%.1f MiB/s)\n' "$cp_seconds" "$(echo "$bytes / 1048576 / $cp_seconds" | bc -l)"
printf 'ratio (cp time / switch time): %.2f\n' "$(echo "$cp_seconds / $seconds" | bc -l)"
rm -rf "$work/copy"
