#!/usr/bin/env bash
# Measures season.exe under Wine switching a tree of the 25 catalogue add-ons plus
# 200 generic ones (textures of 1 to 4 MiB) to winter from the command line, and
# cp copying the same bytes: the files the switch wrote, copied from the same
# folder on the same disk right afterwards, once into a new folder and once over
# the files of that copy (the switch replaces existing textures, and replacing a
# file costs the file system more than writing a new one). Every timing starts
# with the disk flushed; none includes a flush; the sources are read from a warm
# cache. Prints the times and the ratios (cp time / switch time: 1.0 means as fast
# as cp).
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
data="$WINE_SANDBOX/prefix/drive_c/run/season-cli-bench/data"
# The runner copies the tree into the sandbox and starts the driver. Before each
# switch the driver waits for bench-go, given once the disk is flushed, so that
# every switch replaces files whose pages are on disk, as a user's textures are.
# Winter, summer and back, three times: the three winter runs write the same files.
rm -f "$data/bench-start.stamp" "$data/bench-go" "$data/bench-ready" # a previous run's
bash tools/wine-sandbox-run.sh build/windows/tools/season-cli-bench.exe \
    winter summer winter summer winter > "$work/driver.out" &
driver=$!
for _ in 1 2 3 4 5; do
    while [ ! -f "$data/bench-ready" ]; do sleep 0.1; done
    sync
    sleep 2
    touch "$data/bench-go"
    while [ -f "$data/bench-ready" ]; do sleep 0.1; done
done
wait "$driver"
out=$(tr -d '\r' < "$work/driver.out")
echo "$out"
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
seconds=$(echo "$out" | awk '/season.exe winter seconds/ {print $4}' | median)
report=$(cat "$data/season-report.txt" | tr -d '\r')
echo "report: $report"

# The files the switch wrote (created or changed after the stamp), copied again.
cd "$data"
find . -type f -cnewer bench-start.stamp ! -name season-report.txt ! -name 'bench-*' \
    -printf '%P\n' | sort > "$work/written.txt"
files=$(wc -l < "$work/written.txt")
bytes=$(tr '\n' '\0' < "$work/written.txt" | xargs -0 stat -c %s | awk '{s+=$1} END {print s}')
mkdir -p "$work/copy"
# cp into a new folder, then cp again over those files once they are on disk: the
# second is what the switch does (it replaces the active textures).
copy_time() {
    sync
    sleep 5
    local start end
    start=$(date +%s.%N)
    tr '\n' '\0' < "$work/written.txt" | xargs -0 cp --parents -t "$work/copy"
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
cp_new=$(copy_time)
cp_over=$( (copy_time; copy_time; copy_time) | median)
cd "$root"
mib=$(echo "$bytes / 1048576" | bc -l)
printf 'written by the switch: %d files, %.1f MiB\n' "$files" "$mib"
printf 'season.exe under Wine (median of 3): %.3f s (%.1f MiB/s)\n' "$seconds" "$(echo "$mib / $seconds" | bc -l)"
printf 'cp into a new folder:                %.3f s (%.1f MiB/s)\n' "$cp_new" "$(echo "$mib / $cp_new" | bc -l)"
printf 'cp over the same files (median of 3): %.3f s (%.1f MiB/s)\n' "$cp_over" "$(echo "$mib / $cp_over" | bc -l)"
printf 'ratio against cp over files (cp time / switch time): %.2f\n' "$(echo "$cp_over / $seconds" | bc -l)"
printf 'ratio against cp into a new folder:                  %.2f\n' "$(echo "$cp_new / $seconds" | bc -l)"
rm -rf "$work/copy"
