#!/usr/bin/env bash
# Portwright.exe starts on Windows Server 2003 and later with nothing to
# install: a GUI program (portwright-cli.exe: a console program) for subsystem
# and OS 5.2 that imports only DLLs every Windows has. Shlwapi and oleaut32 are
# loaded at run time and common controls are not used, so none of them is
# imported: an import of one would cost every start.
#   check-header.sh OBJDUMP EXE [gui|console]
set -euo pipefail
objdump=$1 exe=$2 kind=${3:-gui}
header=$("$objdump" -p "$exe")
allowed=' advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll '
# The console program probes whether other servers answer on TCP 445 before
# their remote registry is called (--computer): Winsock, on every Windows
# since 95, and only its calls that Server 2003 has (getaddrinfo, select).
[ "$kind" = console ] && allowed+='ws2_32.dll '
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

field() { awk -v k="$1" '$1 == k { print $2; exit }' <<<"$header"; }
for pair in MajorSubsystemVersion=5 MinorSubsystemVersion=2 MajorOSystemVersion=5 MinorOSystemVersion=2; do
  name=${pair%=*} want=${pair#*=}
  [ "$(field "$name")" = "$want" ] && echo "ok   $name $want" || fail "$name is '$(field "$name")', wanted $want"
done
subsystem=$(awk '$1 == "Subsystem" { print $2; exit }' <<<"$header")
if [ "$kind" = console ]; then
  [ "$subsystem" = 00000003 ] && echo "ok   Windows console subsystem" || fail "subsystem is $subsystem, wanted 3 (console)"
else
  [ "$subsystem" = 00000002 ] && echo "ok   Windows GUI subsystem" || fail "subsystem is $subsystem, wanted 2 (Windows GUI)"
fi

dlls=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$header" | sort -u)
[ -n "$dlls" ] || fail "no imported DLLs found: is $exe a program?"
for dll in $dlls; do
  case "$allowed" in
    *" $dll "*) echo "ok   imports $dll" ;;
    *) fail "imports $dll, not one of the DLLs it may import:$allowed" ;;
  esac
done
# Functions that came after Windows Server 2003 and that compilers' runtimes
# like to pull in (threads, once-init, locale names).
functions=$(awk '/DLL Name:/ { inside = 1; next } inside && /^\t[0-9a-f]+\t/ { print $NF } /^$/ { inside = 0 }' <<<"$header")
[ -n "$functions" ] || fail "no imported functions found"
newer=$(grep -xE '(Initialize|Acquire|Release|TryAcquire)SRWLock(Exclusive|Shared)?|(Initialize|Sleep|Wake|WakeAll)ConditionVariable(CS|SRW)?|GetTickCount64|InitOnce(ExecuteOnce|BeginInitialize|Complete|Initialize)|InitializeCriticalSectionEx|CreateEventEx[AW]|CreateMutexEx[AW]|CreateSemaphoreEx[AW]|GetLocaleInfoEx|LCIDToLocaleName|LocaleNameToLCID|CompareStringEx|LCMapStringEx|GetUserDefaultLocaleName|GetFinalPathNameByHandle[AW]|GetSystemTimePreciseAsFileTime|GetCurrentProcessorNumber|SetProcessDPIAware|GetDpiForWindow|TaskDialog(Indirect)?' <<<"$functions" || true)
[ -z "$newer" ] && echo "ok   no functions newer than Windows Server 2003 among $(wc -l <<<"$functions") imports" ||
  fail "imports functions that Windows Server 2003 lacks: $(echo $newer)"
# The static build carries its C++ runtime: no libstdc++, libgcc or winpthread DLL.
grep -qi 'shlwapi' <<<"$header" && fail "Shlwapi appears in the header; it must be bound at run time"
[ "$failures" -eq 0 ]
