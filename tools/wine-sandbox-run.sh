#!/usr/bin/env bash
# Runs a Windows program under Wine in a sandboxed prefix, so that a faulty delete
# or copy in a test can never reach the machine's own files:
#   - HOME points into the sandbox before the prefix is made, and the profile
#     folders (Desktop, Documents, ...) are plain folders, not links to $HOME;
#   - the Z: drive (the Linux root) is removed;
#   - the program is copied into C:\run\<name>\ and started there.
# The sandbox lives in $WINE_SANDBOX, or in "wine-sandbox" beside the build tree's
# CMakeCache.txt. When WINE_SANDBOX_DATA names a folder, it is copied to
# C:\run\<name>\data first; when WINE_SANDBOX_BESIDE names a folder, its content is
# copied into C:\run\<name>\ itself, so that the program runs inside that tree
# (the switcher works on the folder it lies in). The program's exit code is passed on.
set -euo pipefail

exe=$(readlink -f "$1")
shift

if [ -z "${WINE_SANDBOX:-}" ]; then
    dir=$(dirname "$exe")
    while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ -f "$dir/CMakeCache.txt" ] || dir=$(dirname "$exe")
    WINE_SANDBOX="$dir/wine-sandbox"
fi
mkdir -p "$WINE_SANDBOX"
WINE_SANDBOX=$(readlink -f "$WINE_SANDBOX")

# Wine maps Windows names to Linux ones through the locale's character set: under
# the C locale a name beyond ASCII would come out mangled. The prefix's ANSI code
# page stays 1252, so names beyond it still test the wide calls for real.
# SANDBOX_LC_ALL gives another UTF-8 locale, whose language Wine then takes as
# the user's (a prefix of its own keeps the two apart).
export LC_ALL=${SANDBOX_LC_ALL:-C.UTF-8}
# A 64-bit program runs on Wine's 64-bit loader in a 64-bit prefix; a 32-bit one on
# the loader that the wine command picks (its 32-bit one where the machine has it).
# The machine type is the two bytes after the "PE\0\0" signature, whose offset
# stands at 0x3c.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
if [ "$machine" = "8664" ]; then
    wine=/usr/lib/wine/wine64
    export WINELOADER=$wine
else
    wine=wine
fi
export HOME="$WINE_SANDBOX/home"
export WINEPREFIX="$WINE_SANDBOX/prefix"
export WINEDEBUG=${SANDBOX_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$HOME"

# One prefix per sandbox, made once; parallel test runs wait for it.
(
    flock 9
    if [ ! -f "$WINEPREFIX/.sandboxed" ]; then
        rm -rf "$WINEPREFIX"
        "$wine" wineboot --init >/dev/null 2>&1 || true
        wineserver -w || true
        for link in "$WINEPREFIX"/drive_c/users/*/*; do
            if [ -L "$link" ]; then
                rm -f "$link"
                mkdir -p "$link"
            fi
        done
        rm -f "$WINEPREFIX/dosdevices/z:"
        touch "$WINEPREFIX/.sandboxed"
    fi
) 9>"$WINE_SANDBOX/.lock"

name=$(basename "$exe" .exe)
run="$WINEPREFIX/drive_c/run/$name"
# A test that made a folder immutable (the only way to protect one from Wine
# running as root) and failed before undoing it must not block the next run.
chattr -R -i "$run" 2>/dev/null || true
rm -rf "$run"
mkdir -p "$run"
if [ -n "${WINE_SANDBOX_BESIDE:-}" ]; then
    cp -r "$WINE_SANDBOX_BESIDE"/. "$run/"
fi
cp "$exe" "$run/"
if [ -n "${WINE_SANDBOX_DATA:-}" ]; then
    cp -r "$WINE_SANDBOX_DATA" "$run/data"
fi
cd "$run"
# Wine's own background programs (services, explorer), started with the first
# program of a prefix, inherit that program's output. Were that the caller's pipe,
# it would stay open until the last program of the prefix ends, and a test runner
# reading it would wait for every other test in the prefix. The output goes to a
# file, which `tail` shows as it grows and leaves once the program has ended.
out=$(mktemp "$WINE_SANDBOX/output.XXXXXX")
"$wine" "$(basename "$exe")" "$@" >"$out" 2>&1 </dev/null &
program=$!
tail -n +1 -f --pid="$program" "$out" &
shown=$!
status=0
wait "$program" || status=$?
wait "$shown" || true
rm -f "$out"
exit "$status"
