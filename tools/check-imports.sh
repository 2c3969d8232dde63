#!/usr/bin/env bash
# Lists the DLLs each Windows program imports (objdump -p) and fails on any DLL
# that Windows does not always load from its own system folder. Everything else
# (GDI+, version.dll) the programs load at run time from the system folder, so a
# library planted beside a program is never loaded in its place.
#   check-imports.sh OBJDUMP PROGRAM...
set -euo pipefail

objdump=$1
shift
# ntdll.dll is mapped into every process by the kernel before any search begins.
allowed=" ntdll.dll kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll msvcrt.dll comctl32.dll "

status=0
for program in "$@"; do
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    if [ -z "$dlls" ]; then
        echo "$(basename "$program"): no import table found" >&2
        status=1
        continue
    fi
    echo "$(basename "$program") imports: $(echo $dlls)"
    for dll in $dlls; do
        case "$allowed" in
        *" $dll "*) ;;
        *)
            echo "$(basename "$program"): imports $dll, which is not always loaded from the system folder" >&2
            status=1
            ;;
        esac
    done
done
exit $status
