#!/usr/bin/env bash
# Prints the build preset whose Windows programs Wine can run on this machine:
# "windows" (the 32-bit programs that ship) where the machine runs 32-bit code,
# otherwise "windows64", the same code built for 64-bit Windows, which Wine's
# 64-bit loader runs. Some virtual machines have no 32-bit mode at all; there even
# Wine's 32-bit loader fails to start ("Exec format error").
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo windows
else
    echo windows64
fi
