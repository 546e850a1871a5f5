#!/usr/bin/env bash
# The program file's identity as Explorer and the loader see it: version
# record, icon (the very icon file of resources/) and manifest.
#   check-resources.sh WINDRES PORTWRIGHT_EXE PORTWRIGHT_ICO
set -euo pipefail
windres=$1 exe=$2 ico=$3
rc=$("$windres" -i "$exe" -O rc)
failures=0
expect() {  # expect WHAT PATTERN (a fixed line that must occur in the decompiled resources)
  if grep -qF -- "$2" <<<"$rc"; then echo "ok   $1"; else echo "FAIL $1: no line '$2'"; failures=$((failures + 1)); fi
}
expect "file version" " FILEVERSION 1, 0, 0, 0"
expect "product version" " PRODUCTVERSION 1, 0, 0, 0"
expect "U.S. English, Unicode strings" 'BLOCK "040904B0"'
expect "FileVersion text" 'VALUE "FileVersion", "1.0.0.0"'
expect "ProductVersion text" 'VALUE "ProductVersion", "1.0.0.0"'
expect "InternalName" 'VALUE "InternalName", "Portwright"'
expect "OriginalFilename" 'VALUE "OriginalFilename", "Portwright.exe"'
expect "empty ProductName" 'VALUE "ProductName", ""'
expect "translation" 'VALUE "Translation", 0x409, 1200'
expect "icon group 1" "1 14 /* RT_GROUP_ICON */"
expect "manifest 1" "1 24 /* RT_MANIFEST */"
# Common controls 6 would cost every start under Wine some 20 ms for nothing the window uses.
if grep -qF 'Microsoft.Windows.Common-Controls' <<<"$rc"; then
  echo "FAIL no common controls 6: the manifest names them"; failures=$((failures + 1))
else
  echo "ok   no common controls 6"
fi
expect "administrator rights" 'level=""requireAdministrator"" uiAccess=""false""'
expect "system DPI awareness" '>true</dpiAware>'
expect "manifest version" 'version=""1.0.0.0""'

# The group's images are the .ico's images, byte for byte.
python3 - "$exe" "$ico" <<'PY' || failures=$((failures + 1))
import struct, sys
pe = open(sys.argv[1], 'rb').read()
ico = open(sys.argv[2], 'rb').read()
count = struct.unpack_from('<H', ico, 4)[0]
missing = 0
for i in range(count):
    size, offset = struct.unpack_from('<II', ico, 6 + 16 * i + 8)
    image = ico[offset:offset + size]
    w, h = ico[6 + 16 * i], ico[6 + 16 * i + 1]
    if image in pe:
        print(f"ok   icon image {w or 256}x{h or 256} from {sys.argv[2]}")
    else:
        print(f"FAIL icon image {w or 256}x{h or 256} of {sys.argv[2]} is not in the program file")
        missing += 1
sys.exit(1 if missing else 0)
PY
[ "$failures" -eq 0 ]
