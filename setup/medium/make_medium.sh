#!/bin/sh
# Lays out the installation medium from a folder of built program files:
#   setup.exe and the driver setup library it loads, one setup script per Windows version,
#   TESSARO.CAB with the product's program files, DRIVERS\ with the keyboard's INF files for its
#   USB and PS/2 connections, LICENSE\ with the licence agreement in each language in the code
#   page that language's Windows reads it in.
# Usage: make_medium.sh BIN_DIR OUT_DIR
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
bin="$1"
out="$2"
rm -rf "$out"
mkdir -p "$out/DRIVERS" "$out/LICENSE"

# Windows reads every text of the medium with CR LF line ends.
crlf() { sed 's/\r$//; s/$/\r/'; }

cp "$bin/setup.exe" "$bin/VNSetup.dll" "$out/"

# The files the scripts' "Copy Files" take out of the cabinet.
files=$(sed -n '/^\[Copy Files\]/,/^\[/{s/=.*//p}' "$here/setup.ini" | tr -d '\r')
(cd "$bin" && gcab -c -z "$out/TESSARO.CAB" $files)

# Windows 95, 98, Me and NT 4 put the INF into the system's INF folder themselves when no keyboard
# is connected yet (the field after the description); Windows 2000 and later register it with the
# system. SETUPNT.INI serves NT 4 and Windows Server 2003.
script() {
  sed -e "s/@SYSTEMS@/$2/" -e "s/@USBCOPY@/$3/" -e "s/@PS2COPY@/$4/" "$here/setup.ini" | crlf >"$out/$1"
}
older='DRIVERS\\TKUSB.INF'
older_ps2='DRIVERS\\TKPS2.INF'
script SETUP95.INI "Windows 95" "$older" "$older_ps2"
script SETUP98.INI "Windows 98" "$older" "$older_ps2"
script SETUPME.INI "Windows Me" "$older" "$older_ps2"
script SETUPNT.INI "Windows NT 4.0 and Windows Server 2003" "$older" "$older_ps2"
script SETUP2K.INI "Windows 2000" "" ""
script SETUPXP.INI "Windows XP" "" ""

for inf in "$here"/drivers/*.INF; do crlf <"$inf" >"$out/DRIVERS/$(basename "$inf")"; done

for text in "$here"/licence/*.TXT; do
  name=$(basename "$text")
  case "$name" in
    LICENJP.TXT) page=CP932 ;;
    LICENTCH.TXT) page=CP950 ;;
    LICENSCH.TXT) page=CP936 ;;
    *) page=WINDOWS-1252 ;;
  esac
  iconv -f UTF-8 -t "$page" "$text" | crlf >"$out/LICENSE/$name"
done
