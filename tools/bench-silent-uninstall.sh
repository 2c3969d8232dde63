#!/usr/bin/env bash
# sweepstone.exe /VERYSILENT under Wine removing a product of 10,000 files in 500
# folders, against rm -r of the same tree on the Linux side, in one run: the
# Windows program sweepstone_uninstall_bench builds the product and an identical
# tree per round, the file system is flushed, the program times the wizard from its
# start to its end in each round, the file system is flushed again, and this script
# times rm -r of each identical tree and prints the medians and their ratio.
#   bash tools/bench-silent-uninstall.sh [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build/windows"
rounds=${1:-3}
cmake --build --preset windows --target sweepstone sweepstone_uninstall_bench >/dev/null

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/sweepstone/win32/sweepstone.exe" "$stage/sweepstone.exe"
out="$stage/out.txt"
bench() {
    WINE_SANDBOX_DATA="$stage" bash "$here/tools/wine-sandbox-run.sh" \
        "$build/sweepstone/win32/sweepstone_uninstall_bench.exe" "$@" | tr -d '\r'
}
run="$build/wine-sandbox/prefix/drive_c/uninstall-bench"
bench make "$rounds"
counts=()
for r in $(seq 1 "$rounds"); do
    tree="$run/rm-$r/Content"
    counts+=("$(find "$tree" -type f | wc -l) files, $(find "$tree" -mindepth 1 -type d | wc -l) folders")
done
sync
bench run "$rounds" | tee "$out"
sync

wizard=()
rm_times=()
for r in $(seq 1 "$rounds"); do
    tree="$run/rm-$r/Content"
    t0=$(date +%s%N)
    rm -r "$tree"
    t1=$(date +%s%N)
    rm_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')")
    wizard+=("$(sed -n "s/^round $r: sweepstone \/VERYSILENT \([0-9.]*\) s.*/\1/p" "$out")")
    echo "round $r: rm -r ${rm_times[-1]} s (${counts[$((r - 1))]})"
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
w=$(median "${wizard[@]}")
m=$(median "${rm_times[@]}")
awk -v w="$w" -v m="$m" 'BEGIN {
    printf "median: sweepstone /VERYSILENT %.3f s, rm -r %.3f s, ratio %.1f\n", w, m, w / m }'
