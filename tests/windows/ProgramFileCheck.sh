#!/usr/bin/env bash
# The built program file: PE32 for Intel 80386, GUI subsystem, imports from
# Windows' own DLLs only (wininet.dll is bound by name at run time, never
# imported), and its version record and icon.
# Usage: ProgramFileCheck.sh OBJDUMP WINDRES PROGRAM
set -euo pipefail
objdump=$1 windres=$2 program=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

headers=$("$objdump" -p "$program")
grep -q 'file format pei-i386' <<<"$headers" || fail "not an i386 PE file"
grep -qE '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$headers" || fail "not PE32"
grep -qE '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$headers" || fail "not a GUI program"

system_dlls='^(kernel32|user32|gdi32|ole32|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || fail "no imports found"
while read -r dll; do
    grep -qE "$system_dlls" <<<"$dll" || fail "imports $dll"
done <<<"$imports"

resources=$("$windres" -i "$program" -O rc)
expect() { grep -qE "$1" <<<"$resources" || fail "version record: no match for $1"; }
expect '^ FILEVERSION 1, 0, 0, 0$'
expect '^ PRODUCTVERSION 1, 0, 0, 0$'
expect '^ FILEOS 0x4$'    # VOS__WINDOWS32
expect '^ FILETYPE 0x1$'  # VFT_APP
expect 'BLOCK "080404B0"'
expect 'VALUE "ProductName", "Veltrano"'
expect 'VALUE "FileVersion", "1.0.0.0"'
expect 'VALUE "ProductVersion", "1.0.0.0"'
expect 'VALUE "Translation", 0x804, 1200'
expect 'RT_GROUP_ICON'
echo "PASS: PE32 i386 GUI program importing only $(tr '\n' ' ' <<<"$imports")with its version record and icon"
