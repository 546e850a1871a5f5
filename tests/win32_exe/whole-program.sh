#!/usr/bin/env bash
# Whole-program test: Portwright.exe under Wine in a throwaway prefix, on Xvfb,
# driven from outside by X key events (xdotool) and by pwdrive.exe, which reads
# the window's texts and message boxes with window messages.
#   whole-program.sh PORTWRIGHT_EXE PWDRIVE_EXE
# With PORTWRIGHT_SCREENSHOT=file.png it also photographs the window, edited.
set -euo pipefail
exe=$(readlink -f "$1")
drive=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
# shellcheck source=wine-session.sh
. "$here/wine-session.sh"

# Child window ids: 100 + the control's place in the control list (ControlId.h).
cmdSetReg=100 txtPort3=102 txtPort2=103 txtPort1=104 txtModified=106 txtCurrentReg=107
cmdExit=108 txtExternalFQDN=109 txtInternalFQDN=110 txtComputerName=111 lblSave=113
lblValueDefault=114 lblComputernameFQDN=126 cmdDefault=105 cmdResetPorts=101

tcpip='HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters'
rpcproxy='HKLM\SOFTWARE\Microsoft\Rpc\RpcProxy'
four='exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004'
six='exch1:6001-6002;exch1.corp.example:6001-6002;mail.example.com:6001-6002;exch1:6004;exch1.corp.example:6004;mail.example.com:6004'
missing='"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Rpc\RpcProxy\ValidPorts" registry value does not exist or has no value.<CR><LF>Please verify that "RPC over HTTP" is intstalled correctly through<CR><LF>Control Panel\Add/Remove Programs\Windows Components\Networking Services\RPC over HTTP.'

# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
drive() { run_wine "$drive" "$@" | tr -d '\r'; }
field() { awk -F'\t' -v k="$1" '$1 == k { print $2 }'; }  # value of key in "key<TAB>value" lines
stored_value() { run_wine reg query "$rpcproxy" /v ValidPorts 2>/dev/null | tr -d '\r' | awk '$1 == "ValidPorts" { print $3 }'; }
seed() { run_wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null; }
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }  # XTEST: real key presses to the focused window

pick_wine_loader "$exe" "$0" "$@"
start_session
# The 32-bit build's users run a 32-bit Windows: its prefix is a win32 one.
check "prefix architecture" "$(grep -m1 '^#arch=' "$WINEPREFIX/system.reg")" \
      "#arch=$([ "$(pe_machine "$exe")" = i386 ] && echo win32 || echo win64)"

echo "== a prefix without ValidPorts"
seed "$tcpip" HostName EXCH1
seed "$tcpip" Domain corp.example
run_wine "$exe" &
program=$!
box=$(drive msgbox 60000)
check "window still hidden while the start-up box shows" "$(drive visible)" 0
check "missing-value box title" "$(field title <<<"$box")" Portwright
check "missing-value box text" "$(field text <<<"$box")" "$missing"
check "missing-value box buttons" "$(field button <<<"$box")" OK
check "missing-value box has no icon" "$(field icon <<<"$box")" no
drive msgbox 5000 ok >/dev/null
drive wait-window 20000 >/dev/null
texts=$(drive texts)
check "current value stays empty" "$(field $txtCurrentReg <<<"$texts")" ""
check "modified value at start" "$(field $txtModified <<<"$texts")" "$four"
drive close >/dev/null
drive wait-gone 20000 >/dev/null
status=0; wait "$program" || status=$?
check "close box ends the program" "$status" 0

echo "== a prefix with ValidPorts"
seed "$rpcproxy" ValidPorts EXCH1:100-5000
run_wine "$exe" &
program=$!
drive wait-window 60000 >/dev/null
drive no-msgbox 500 >/dev/null || { echo "FAIL a message box showed at start"; failures=$((failures + 1)); }
texts=$(drive texts)
check "NetBIOS name box" "$(field $txtComputerName <<<"$texts")" exch1
check "domain box" "$(field $txtInternalFQDN <<<"$texts")" corp.example
check "server FQDN label" "$(field $lblComputernameFQDN <<<"$texts")" exch1.corp.example
check "port boxes" "$(field $txtPort1 <<<"$texts") $(field $txtPort2 <<<"$texts") $(field $txtPort3 <<<"$texts")" "6001 6002 6004"
check "current value as stored" "$(field $txtCurrentReg <<<"$texts")" EXCH1:100-5000
check "modified value at start" "$(field $txtModified <<<"$texts")" "$four"
check "default value label" "$(field $lblValueDefault <<<"$texts")" 'ValidPorts="exch1:100-5000"'
announced=$(field $lblSave <<<"$texts")
check "log announcement" "$(sed -E 's/"C:\\RPC_[^"\\]+\.LOG"$/"C:\\RPC_*.LOG"/' <<<"$announced")" \
      'A log will be created automatically here: "C:\RPC_*.LOG"'
check "first focus" "$(drive focus)" $txtExternalFQDN

geometry=$(drive geometry)
read -r _ left top right bottom <<<"$(grep '^window' <<<"$geometry")"
read -r _ width height <<<"$(grep '^screen' <<<"$geometry")"
check "client area at 96 dpi" "$(grep '^client' <<<"$geometry")" "client 550 712"
check "centred" "$(( (left + right - width) / 2 > -2 && (left + right - width) / 2 < 2 )) $(( (top + bottom - height) / 2 > -2 && (top + bottom - height) / 2 < 2 ))" "1 1"
check "fixed size, close box and system menu only" "$(grep '^thickframe' <<<"$geometry")" \
      "thickframe 0 minimizebox 0 maximizebox 0 sysmenu 1"
window=$(xdotool search --sync --name '^Portwright Single Server Registry Entries$' | head -n1)
# Wine hands the window's icons to X; another process cannot ask for them.
check "window icons" "$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')" \
      "Icon (32 x 32) Icon (16 x 16) "
xdotool windowactivate --sync "$window"
sleep 0.3
xdotool type --delay 40 'Mail.Example.com'
sleep 0.3
check "typed external name" "$(drive texts | field $txtExternalFQDN)" Mail.Example.com
check "modified value follows the typing" "$(drive texts | field $txtModified)" "$six"
if [ -n "${PORTWRIGHT_SCREENSHOT:-}" ]; then
  import -frame -window "$window" "$PORTWRIGHT_SCREENSHOT"
  echo "screenshot: $PORTWRIGHT_SCREENSHOT"
fi
keys Return Escape
drive no-msgbox 700 >/dev/null && check "Enter and Esc press nothing" "$(drive visible)" 1 ||
  { echo "FAIL Enter or Esc opened a box"; failures=$((failures + 1)); }

order=""
for _ in $(seq 12); do keys Tab; order+="$(drive focus) "; done
check "Tab order" "$order" "$txtComputerName $txtInternalFQDN $txtPort1 $txtPort2 $txtPort3 $cmdExit $txtCurrentReg $txtModified $cmdDefault $cmdResetPorts $cmdSetReg $txtExternalFQDN "
order=""
for _ in $(seq 3); do keys shift+Tab; order+="$(drive focus) "; done
check "Shift+Tab goes back" "$order" "$cmdSetReg $cmdResetPorts $cmdDefault "
keys Tab Tab Tab
check "Tab comes round to the first box" "$(drive focus)" $txtExternalFQDN
keys Tab Tab Tab
check "focus in the first port box" "$(drive focus)" $txtPort1
keys 1 2 3 4 5 6
check "a port box takes five characters" "$(drive texts | field $txtPort1)" 12345
check "modified value follows the port" "$(drive texts | field $txtModified)" "${six//6001-/12345-}"
keys alt+p
check "Alt+P resets the ports" "$(drive texts | field $txtPort1)" 6001
check "the button pressed by its key has the focus" "$(drive focus)" $cmdResetPorts
drive settext $txtPort1 7 >/dev/null
check "a text assigned from outside raises Change" "$(drive texts | field $txtModified)" "${six//6001-/7-}"
keys Return
check "Enter presses the button that has the focus" "$(drive texts | field $txtPort1)" 6001
drive settext $txtPort1 7 >/dev/null
keys shift+Tab shift+Tab
check "focus back in a box" "$(drive focus)" $txtModified
keys alt+r
check "Alt+R resets the ports" "$(drive texts | field $txtPort1)" 6001
check "the dialog manager's access key moves the focus to its button too" "$(drive focus)" $cmdResetPorts
check "modified value after the reset" "$(drive texts | field $txtModified)" "$six"

keys alt+s
box=$(drive msgbox 20000)
text=$(field text <<<"$box")
log=${text##*LOGPATH: }
check "confirmation box" "$(field title <<<"$box") | ${text%%LOGPATH: *}" "Portwright | Registry entry and log created.<CR><LF><CR><LF>"
check "confirmation box buttons and icon" "$(field button <<<"$box") $(field icon <<<"$box")" "OK no"
check "stored value read back with reg query" "$(stored_value)" "$six"
check "current value box shows what was stored" "$(drive texts | field $txtCurrentReg)" "$six"
logfile=$WINEPREFIX/drive_c/${log#C:\\}
if [ -f "$logfile" ]; then
  check "log file records the previous and the new value" \
        "$(tr -d '\r' <"$logfile" | grep -E '^(PREVIOUS|NEW) SETTING=' | tr '\n' ' ')" \
        "PREVIOUS SETTING=EXCH1:100-5000 NEW SETTING=$six "
  check "log file has ten lines" "$(tr -d '\r' <"$logfile" | awk 'END { print NR }')" 10
else
  echo "FAIL log file $log missing under drive_c (looked for $logfile)"
  failures=$((failures + 1))
fi
drive msgbox 5000 ok >/dev/null
check "focus back on the button after the box" "$(drive focus)" $cmdSetReg
check "next log announced" "$(drive texts | field $lblSave | grep -c '^A log will be created automatically here: "C:\\RPC_.*\.LOG"$')" 1

keys alt+x
drive wait-gone 20000 >/dev/null
status=0; wait "$program" || status=$?
check "Exit ends the program" "$status" 0

echo "== $failures failed"
[ "$failures" -eq 0 ]
