#!/usr/bin/env bash
# sweepstone.exe /VERYSILENT under Wine removing a product of 10,000 files in 500
# folders, against the floor of that work in one run: the same deletions made with the
# bare Win32 calls and no rule (sweepstone_plain_uninstall.exe: a FindFirstFileW /
# DeleteFileW / RemoveDirectoryW walk of each [Path] value, then GetFileAttributesW and
# DeleteFileW for each [File] value) on an identical tree with the same log, under the
# same warm Wine server, started and timed the same way right after the wizard in each
# round; and rm -r of a third identical tree on the Linux side. The Windows program
# sweepstone_uninstall_bench builds the trees, the file system is flushed, it times
# both programs from their start to their end in each round, the file system is
# flushed again, this script times rm -r and prints the medians and the ratios.
#   bash tools/bench-silent-uninstall.sh [rounds]
# The programs are the build of tools/wine-preset.sh (windows64 where the machine runs
# no 32-bit code), or of BENCH_PRESET.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
preset=${BENCH_PRESET:-$(bash "$here/tools/wine-preset.sh")}
build="$here/build/$preset"
rounds=${1:-3}
cmake --build --preset "$preset" --target sweepstone sweepstone_uninstall_bench \
    sweepstone_plain_uninstall >/dev/null

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/sweepstone/win32/sweepstone.exe" "$stage/sweepstone.exe"
cp "$build/sweepstone/win32/sweepstone_plain_uninstall.exe" "$stage/plain_uninstall.exe"
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
plain=()
rm_times=()
for r in $(seq 1 "$rounds"); do
    tree="$run/rm-$r/Content"
    t0=$(date +%s%N)
    rm -r "$tree"
    t1=$(date +%s%N)
    rm_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')")
    wizard+=("$(sed -n "s/^round $r: sweepstone \/VERYSILENT \([0-9.]*\) s.*/\1/p" "$out")")
    plain+=("$(sed -n "s/^round $r: .*; plain deletions \([0-9.]*\) s.*/\1/p" "$out")")
    echo "round $r: rm -r ${rm_times[-1]} s (${counts[$((r - 1))]})"
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
w=$(median "${wizard[@]}")
p=$(median "${plain[@]}")
m=$(median "${rm_times[@]}")
awk -v w="$w" -v p="$p" -v m="$m" -v preset="$preset" 'BEGIN {
    printf "median (%s build): sweepstone /VERYSILENT %.3f s, plain deletions %.3f s, ratio %.2f; rm -r %.3f s\n", preset, w, p, w / p, m }'
