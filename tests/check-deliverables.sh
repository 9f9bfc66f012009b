#!/usr/bin/env bash
# Fails when a deliverable in the output folder imports anything but Windows system DLLs and the
# system's own DLLs, lacks dynamic base or NX compatibility, or exports decorated names.
set -u
objdump="$1"; bin="$2"
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll comctl32.dll comdlg32.dll
  ole32.dll oleaut32.dll version.dll winmm.dll setupapi.dll cfgmgr32.dll hid.dll newdev.dll winspool.drv
  msvcrt.dll mpr.dll imm32.dll wtsapi32.dll ws2_32.dll
  vnutil.dll vnosd.dll vnusbkbd.dll vnhooks.dll vnsetup.dll vnmedia.dll "
allowed=" $(echo $allowed) "  # one blank between names, also where a line ended
status=0; count=0
shopt -s nullglob nocaseglob
for f in "$bin"/*.dll "$bin"/*.exe "$bin"/*.cpl; do
  count=$((count + 1))
  before=$status; status=0
  name=$(basename "$f")
  dump=$("$objdump" -p "$f")
  while read -r dll; do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    case "$allowed" in
      *" $lower "*) ;;
      *) echo "FAIL $name imports $dll"; status=1 ;;
    esac
  done < <(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
  chars=$(echo "$dump" | sed -n 's/^DllCharacteristics[[:space:]]*//p' | head -n1)
  value=$((16#${chars:-0}))
  (( value & 0x40 )) || { echo "FAIL $name lacks dynamic base"; status=1; }
  (( value & 0x100 )) || { echo "FAIL $name is not NX compatible"; status=1; }
  if echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -q '@'; then
    echo "FAIL $name exports decorated names"; status=1
  fi
  [ $status -eq 0 ] && echo "ok   $name"
  [ $before -eq 0 ] || status=$before
done
if [ $count -eq 0 ]; then echo "FAIL no deliverables in $bin"; exit 1; fi
exit $status
