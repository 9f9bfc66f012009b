#!/usr/bin/env bash
# Remakes the import library of a 32-bit DLL whose exports are undecorated __stdcall names: the
# callers' compiler refers to the decorated names (_Name@N), so the import library must bind
# those to the undecorated exports. The sizes are read from the DLL's own symbol table.
#   stdcall-implib.sh NM DLLTOOL DLL DEF OUT.a
set -euo pipefail
nm="$1"; dlltool="$2"; dll="$3"; def="$4"; out="$5"
symbols=$("$nm" "$dll" | awk '$2 == "T" { print $3 }')
tmp="$out.def"
{
  grep -i -m1 '^[[:space:]]*LIBRARY' "$def"
  echo "EXPORTS"
  sed -e 's/;.*//' "$def" | awk 'f && NF { print } toupper($1) == "EXPORTS" { f = 1 }' |
  while read -r name rest; do
    decorated=$(echo "$symbols" | grep -m1 -E "^_${name}@[0-9]+\$" || true)
    if [ -n "$decorated" ]; then echo "    ${decorated#_} $rest"; else echo "    $name $rest"; fi
  done
} >"$tmp"
"$dlltool" -k -d "$tmp" -l "$out"
