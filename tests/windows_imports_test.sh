#!/usr/bin/env bash
# Checks that Windows executables run on a bare Windows: each may import only
# DLLs that come with the system (KERNEL32, the C run-time, ADVAPI32, WS2_32,
# bcrypt, USER32 and the like), none that would have to be shipped beside it
# (the C++ and GCC run-times, winpthread, libxml2).
# Usage: tests/windows_imports_test.sh OBJDUMP EXECUTABLE...
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 OBJDUMP EXECUTABLE..." >&2
    exit 2
fi
objdump=$1
shift
passed=0
failed=0

# Lower-case names of the DLLs a Windows installation provides.
system_dll='^(kernel32|kernelbase|ntdll|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+|advapi32|ws2_32|bcrypt|bcryptprimitives|user32|gdi32|shell32|ole32|oleaut32|rpcrt4|secur32|crypt32|shlwapi|version|userenv|iphlpapi|dbghelp|psapi)\.dll$'

for executable in "$@"; do
    if ! dump=$("$objdump" -p "$executable" 2>&1); then
        failed=$((failed + 1))
        echo "FAIL: $objdump cannot read $executable: $dump"
        continue
    fi
    imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    if [ -z "$imports" ]; then
        failed=$((failed + 1))
        echo "FAIL: $executable imports no DLL at all (not a Windows executable?)"
        continue
    fi
    foreign=$(tr '[:upper:]' '[:lower:]' <<<"$imports" | grep -Ev "$system_dll")
    if [ -n "$foreign" ]; then
        failed=$((failed + 1))
        echo "FAIL: $(basename "$executable") needs DLLs that Windows lacks:" $foreign
    else
        passed=$((passed + 1))
    fi
done

echo "windows imports: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
