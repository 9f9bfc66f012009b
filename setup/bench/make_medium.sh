#!/bin/sh
# Writes the benchmark medium: 100 loose files, 100 more in a cabinet (and loose, for the copy
# it is measured against), 100 kB each, and a registry file. Usage: make_medium.sh FOLDER
set -e
out="$1"
rm -rf "$out"; mkdir -p "$out/files" "$out/cabsrc"
i=0
while [ $i -lt 100 ]; do
  yes "line of loose file $i of the benchmark medium" | head -c 102400 >"$out/files/l$i.bin"
  yes "line of packed file $i of the benchmark medium" | head -c 102400 >"$out/cabsrc/p$i.bin"
  i=$((i + 1))
done
(cd "$out/cabsrc" && gcab -cz "$out/files/bench.cab" p*.bin)
{
  printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\VnSetupBench]\r\n'
  i=0
  while [ $i -lt 50 ]; do printf '"Value%d"="text of value %d"\r\n' $i $i; i=$((i + 1)); done
} >"$out/files/bench.reg"
