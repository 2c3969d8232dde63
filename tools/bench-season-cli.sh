#!/usr/bin/env bash
# season.exe /season=winter /quiet under Wine against the floor of its copies, in one
# run: for each tree of generic add-ons (by default 100 add-ons whose textures hold
# 2 MiB each, then 400 of 1 MiB), the switch against season-plain-switch.exe, a plain
# Win32 program that makes only the CopyFileW of each add-on's winter texture over
# its active one, on the same tree, under the same warm Wine server, both started and
# timed the same way by the Windows driver season-cli-bench.exe (from the process's
# start to its end, Wine's start of the process included). Before every run the disk
# is flushed, so that each replaces files whose pages are on disk, as a user's
# textures are. One round of both to warm up, then three rounds; prints every run,
# the medians and the ratio (switch / plain copies).
#   bash tools/bench-season-cli.sh [COUNTxMIB ...]        e.g. 100x2 400x1
# The older comparison with cp, on the 25 catalogue add-ons plus COUNT generic ones
# whose textures hold 1 to 4 MiB (the files a winter switch writes, copied by cp):
#   bash tools/bench-season-cli.sh cp [COUNT]
# Builds what it needs: the programs of tools/wine-preset.sh (windows64 where the
# machine runs no 32-bit code) or of BENCH_PRESET, and the native tree maker.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
preset=${BENCH_PRESET:-$(bash tools/wine-preset.sh)}
build="$root/build/$preset"
cmake --build --preset "$preset" --target season season-cli-bench season-plain-switch >/dev/null
cmake --build --preset native --target season-bench-tree >/dev/null
work="$root/build/season-cli-bench"
stage="$work/stage"
export WINE_SANDBOX="$work/sandbox"
export WINE_SANDBOX_DATA="$stage"
# The tree lies in the sandbox as C:\run\season-cli-bench\data\ beside the driver.
data="$WINE_SANDBOX/prefix/drive_c/run/season-cli-bench/data"
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# Lays out the tree in the stage beside season.exe and the plain program.
stage_tree() {
    rm -rf "$stage" "$work/copy"
    mkdir -p "$stage"
    cp "$build/season/window/win32/season.exe" "$stage/season.exe"
    cp "$build/tools/season-plain-switch.exe" "$stage/season-plain-switch.exe"
    build/native/tools/season-bench-tree "$stage" "$@"
}

# Runs the driver with the given runs; before each one the disk is flushed.
drive() {
    local runs=$#
    rm -f "$data/bench-start.stamp" "$data/bench-go" "$data/bench-ready" # a previous run's
    bash tools/wine-sandbox-run.sh "$build/tools/season-cli-bench.exe" "$@" \
        > "$work/driver.out" &
    local driver=$!
    for _ in $(seq 1 "$runs"); do
        while [ ! -f "$data/bench-ready" ]; do sleep 0.1; done
        sync
        sleep 2
        touch "$data/bench-go"
        while [ -f "$data/bench-ready" ]; do sleep 0.1; done
    done
    wait "$driver"
    tr -d '\r' < "$work/driver.out"
}

against_plain() {
    local count=$1 mib=$2
    stage_tree "$count" "$mib"
    echo "tree: $count generic add-ons, textures of $mib MiB"
    local out
    out=$(drive winter plain winter plain winter plain winter plain)
    echo "$out"
    echo "report: $(tr -d '\r' < "$data/season-report.txt" | head -n 3)"
    local switch plain
    switch=$(echo "$out" | awk '/^season.exe winter/ {print $4}' | tail -n 3 | median)
    plain=$(echo "$out" | awk '/^season-plain-switch.exe/ {print $4}' | tail -n 3 | median)
    awk -v n="$count" -v m="$mib" -v s="$switch" -v p="$plain" -v preset="$preset" \
        -v load="$(cut -d' ' -f1-3 /proc/loadavg)" 'BEGIN {
        printf "%d add-ons of %d MiB (%s build, median of 3): season.exe /season=winter /quiet %.0f ms, plain CopyFileW %.0f ms, ratio %.2f (load average %s)\n",
            n, m, preset, s * 1000, p * 1000, s / p, load }' | tee -a "$work/summary.txt"
}

against_cp() {
    local count=${1:-200}
    stage_tree "$count"
    # Winter, summer and back, three times: the three winter runs write the same files.
    local out
    out=$(drive winter summer winter summer winter)
    echo "$out"
    local seconds
    seconds=$(echo "$out" | awk '/^season.exe winter/ {print $4}' | median)
    echo "report: $(tr -d '\r' < "$data/season-report.txt")"

    # The files the switch wrote (created or changed after the stamp), copied again.
    cd "$data"
    find . -type f -cnewer bench-start.stamp ! -name season-report.txt ! -name 'bench-*' \
        -printf '%P\n' | sort > "$work/written.txt"
    local files bytes
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
    local cp_new cp_over mib
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
}

if [ "${1:-}" = cp ]; then
    against_cp "${2:-200}"
    exit 0
fi
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(100x2 400x1)
rm -f "$work/summary.txt"
for tree in "${trees[@]}"; do
    against_plain "${tree%x*}" "${tree#*x}"
done
rm -rf "$stage"
echo "command: bash tools/bench-season-cli.sh ${trees[*]}"
cat "$work/summary.txt"
