#!/usr/bin/env bash
# Fails when the program imports a function that its stated minimum Windows
# (Windows XP) lacks. The list holds functions whose documentation pages give
# a "Minimum supported client" of Windows Vista or later: the kernel32 ones the
# compiler runtimes bring in (GetTickCount64, the SRW-lock, condition-variable
# and init-once families, fiber-local storage and others), and the user32,
# advapi32 and shell32 ones this program could be tempted to import instead of
# looking them up at run time (the display-scale ones of Windows 10 among
# them); and GetSystemTimes, which XP gained only with SP1. Any import from a
# DLL that XP lacks (shcore.dll, say) fails too.
# Usage: check-imports.sh PROGRAM.exe OBJDUMP
set -euo pipefail
exe=$1 objdump=${2:-objdump}
vista_and_later=(
  KERNEL32.DLL:GetTickCount64
  KERNEL32.DLL:InitializeSRWLock KERNEL32.DLL:AcquireSRWLockExclusive KERNEL32.DLL:AcquireSRWLockShared
  KERNEL32.DLL:ReleaseSRWLockExclusive KERNEL32.DLL:ReleaseSRWLockShared
  KERNEL32.DLL:TryAcquireSRWLockExclusive KERNEL32.DLL:TryAcquireSRWLockShared
  KERNEL32.DLL:InitializeConditionVariable KERNEL32.DLL:SleepConditionVariableCS
  KERNEL32.DLL:SleepConditionVariableSRW KERNEL32.DLL:WakeConditionVariable
  KERNEL32.DLL:WakeAllConditionVariable
  KERNEL32.DLL:InitOnceInitialize KERNEL32.DLL:InitOnceExecuteOnce KERNEL32.DLL:InitOnceBeginInitialize
  KERNEL32.DLL:InitOnceComplete
  KERNEL32.DLL:FlsAlloc KERNEL32.DLL:FlsGetValue KERNEL32.DLL:FlsSetValue KERNEL32.DLL:FlsFree
  KERNEL32.DLL:InitializeCriticalSectionEx KERNEL32.DLL:CreateEventExA KERNEL32.DLL:CreateEventExW
  KERNEL32.DLL:CreateMutexExA KERNEL32.DLL:CreateMutexExW KERNEL32.DLL:CreateSemaphoreExA
  KERNEL32.DLL:CreateSemaphoreExW KERNEL32.DLL:GetFileInformationByHandleEx
  KERNEL32.DLL:SetFileInformationByHandle KERNEL32.DLL:GetFinalPathNameByHandleW
  KERNEL32.DLL:CreateSymbolicLinkW KERNEL32.DLL:GetActiveProcessorCount
  KERNEL32.DLL:GetCurrentProcessorNumber KERNEL32.DLL:GetSystemTimePreciseAsFileTime
  KERNEL32.DLL:QueryFullProcessImageNameA KERNEL32.DLL:QueryFullProcessImageNameW
  KERNEL32.DLL:GetLocaleInfoEx KERNEL32.DLL:LCMapStringEx KERNEL32.DLL:CompareStringEx
  KERNEL32.DLL:GetUserDefaultLocaleName KERNEL32.DLL:GetSystemTimes
  USER32.DLL:ChangeWindowMessageFilter USER32.DLL:ChangeWindowMessageFilterEx
  USER32.DLL:SetProcessDPIAware USER32.DLL:IsProcessDPIAware USER32.DLL:AddClipboardFormatListener
  USER32.DLL:ShutdownBlockReasonCreate USER32.DLL:ShutdownBlockReasonDestroy
  USER32.DLL:SetThreadDpiAwarenessContext USER32.DLL:GetSystemMetricsForDpi USER32.DLL:GetDpiForWindow
  ADVAPI32.DLL:RegDeleteTreeW ADVAPI32.DLL:RegDeleteKeyExW ADVAPI32.DLL:RegGetValueW
  SHELL32.DLL:SHGetKnownFolderPath
)
xp_dlls=" KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL SHELL32.DLL COMCTL32.DLL MSIMG32.DLL MSVCRT.DLL NTDLL.DLL "
[ -f "$exe" ] || { echo "check-imports: $exe not found" >&2; exit 2; }
imports=$("$objdump" -p "$exe" | awk '
  /DLL Name:/ { dll = toupper($3); next }
  dll && NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }')
[ -n "$imports" ] || { echo "check-imports: no imports read from $exe" >&2; exit 2; }
bad=0
while read -r dll fn; do
  if [[ "$xp_dlls" != *" $dll "* ]]; then echo "imports from $dll, which Windows XP lacks: $fn"; bad=1; fi
  for v in "${vista_and_later[@]}"; do
    [ "$dll:$fn" = "$v" ] && { echo "imports $dll $fn (Windows Vista and later)"; bad=1; }
  done
done <<<"$imports"
echo "check-imports: $(wc -l <<<"$imports") imports read from $(basename "$exe")"
exit $bad
