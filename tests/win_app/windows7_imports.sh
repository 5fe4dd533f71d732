#!/usr/bin/env bash
# Whether the programs still start on Windows 7: every DLL they import is one
# Windows 7 has, and none of the calls it lacks is imported. Wine has all of
# them, so the programs' tests alone would never notice a static import of,
# say, GetDpiForWindow; Windows 7 would refuse to start the program.
#
#   windows7_imports.sh OBJDUMP PROGRAM.exe...
#
# The list of calls is those the program might reach for: the display-scale
# calls of Windows 8.1 and 10, and the Windows 8 calls the compiler's
# libraries could pick up. A call of Windows 8 or later that is on neither
# list is not caught: look up each new import's minimum version.
set -euo pipefail
objdump="$1"
shift

# DLLs of Windows 7 that the programs may import. Not shcore (8.1) nor any
# api-ms-win-* set (the ones Windows 7 has are not all there before updates).
allowed_dlls='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|setupapi|hid|msvcrt|ole32|oleaut32|shlwapi|version|psapi|ws2_32)\.dll$'
# Calls of those DLLs that came after Windows 7. Any name holding "Dpi"
# belongs to the per-monitor scale of 8.1 and 10.
late_calls='Dpi|PerMonitorDPI|^(GetSystemTimePreciseAsFileTime|CreateFile2|CopyFile2|GetCurrentThreadStackLimits|WaitOnAddress|WakeByAddressSingle|WakeByAddressAll|SetThreadDescription|GetThreadDescription|InitializeSynchronizationBarrier|EnterSynchronizationBarrier|DeleteSynchronizationBarrier|GetOverlappedResultEx|SetDefaultDllDirectories|AddDllDirectory|RemoveDllDirectory|SetProcessMitigationPolicy|GetProcessMitigationPolicy|PrefetchVirtualMemory|GetCurrentPackageId|GetPackageFamilyName|SetDisplayAutoRotationPreferences|IsImmersiveProcess|InjectTouchInput|GetPointer[A-Za-z]*|RegisterPointer[A-Za-z]*)$'

failed=0
for exe in "$@"; do
  # objdump lists "DLL Name: X", then one "vma hint name" line per call.
  imports="$("$objdump" -p "$exe" | awk '
    /DLL Name:/ { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $3 }
  ')"
  if [ -z "$imports" ]; then
    echo "FAIL: no imports read from $exe" >&2
    failed=1
    continue
  fi
  while read -r dll call; do
    if ! [[ "$dll" =~ $allowed_dlls ]]; then
      echo "FAIL: $(basename "$exe") imports $call from $dll, which Windows 7 may lack" >&2
      failed=1
    elif [[ "$call" =~ $late_calls ]]; then
      echo "FAIL: $(basename "$exe") imports $dll!$call, newer than Windows 7: look it up at run time" >&2
      failed=1
    fi
  done <<<"$imports"
  echo "$(basename "$exe"): $(wc -l <<<"$imports") imports from $(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')"
done
exit "$failed"
