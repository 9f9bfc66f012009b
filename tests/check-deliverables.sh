#!/usr/bin/env bash
# Fails when a deliverable in the output folder imports a function that is not on the list of
# functions the product may import statically (allowed-imports.txt beside this script, or the
# third argument), imports from one of the system's own libraries something that library in the
# same folder does not export, lacks dynamic base or NX compatibility, or exports decorated names.
#   check-deliverables.sh OBJDUMP FOLDER [LIST]
set -u
objdump="$1"; bin="$2"; list="${3:-$(dirname "$0")/allowed-imports.txt}"
own=" vnutil.dll vnosd.dll vnusbkbd.dll vnhooks.dll vnsetup.dll vnmedia.dll "
[ -r "$list" ] || { echo "FAIL no list of allowed imports at $list"; exit 1; }

# "dll function" per import, the DLL in lower case; an import by ordinal is "#ordinal".
imports_of() {
  echo "$1" | awk '
    /^[[:space:]]*DLL Name: / { dll = tolower($3); next }
    dll != "" && /^[[:space:]]*$/ { dll = ""; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
      print dll, ($3 == "<none>" ? "#" $2 : $3)
    }'
}

# Names and "#ordinal"s that a file exports.
exports_of() {
  "$objdump" -p "$1" | awk '
    /Ordinal Base/ { base = $NF }
    /^[[:space:]]*\[ *[0-9]+\] \+base\[ *[0-9]+\]/ { n++ }
    /\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^[[:space:]]*$/ { names = 0 }
    names && /^[[:space:]]*\[ *[0-9]+\] / { print $NF }
    END { for (i = 0; i < n; i++) print "#" (base + i) }'
}

status=0; count=0
declare -A exports  # own library (lower case) -> what it exports, read once
shopt -s nullglob nocaseglob
for f in "$bin"/*.dll "$bin"/*.exe "$bin"/*.cpl; do
  count=$((count + 1))
  failed=0
  name=$(basename "$f")
  if ! dump=$("$objdump" -p "$f" 2>&1); then
    echo "FAIL $name cannot be read: $dump"; status=1; continue
  fi
  imports=$(imports_of "$dump")
  # The project's own libraries: each import must be exported by the file in this folder.
  while read -r dll fn; do
    peer=$(find "$bin" -maxdepth 1 -iname "$dll" | head -n1)
    if [ -z "$peer" ]; then
      echo "FAIL $name imports $fn from $dll, which is not in the folder"; failed=1
    elif ! grep -qxF -- "$fn" <<<"${exports[$dll]:=$(exports_of "$peer")}"; then
      echo "FAIL $name imports $fn from $dll, which does not export it"; failed=1
    fi
  done < <(echo "$imports" | awk -v own="$own" 'index(own, " " $1 " ")')
  # System libraries: each import must be on the list, and on Windows 95 and NT 4.0 unless the
  # list names this file.
  verdicts=$(echo "$imports" | awk -v own="$own" -v file="$(echo "$name" | tr 'A-Z' 'a-z')" '
    NR == FNR {
      if ($0 ~ /^[[:space:]]*(#|$)/) next
      key = tolower($1) "!" $2
      ok[key] = ($3 == "95" && $4 == "NT4")
      for (i = 5; i <= NF && $i !~ /^#/; i++) if (tolower($i) == file) ok[key] = 1
      listed[key] = 1
      next
    }
    $1 == "" || index(own, " " $1 " ") { next }
    !(($1 "!" $2) in listed) {
      print "FAIL " name " imports " $1 "!" $2 ", which is not on the list of allowed imports"; next
    }
    !ok[$1 "!" $2] {
      print "FAIL " name " imports " $1 "!" $2 ", which Windows 95 or NT 4.0 lacks (load it at run time)"
    }' name="$name" "$list" -)
  if [ -n "$verdicts" ]; then echo "$verdicts"; failed=1; fi
  chars=$(echo "$dump" | sed -n 's/^DllCharacteristics[[:space:]]*//p' | head -n1)
  value=$((16#${chars:-0}))
  (( value & 0x40 )) || { echo "FAIL $name lacks dynamic base"; failed=1; }
  (( value & 0x100 )) || { echo "FAIL $name is not NX compatible"; failed=1; }
  if echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -q '@'; then
    echo "FAIL $name exports decorated names"; failed=1
  fi
  if [ $failed -eq 0 ]; then echo "ok   $name"; else status=1; fi
done
if [ $count -eq 0 ]; then echo "FAIL no deliverables in $bin"; exit 1; fi
exit $status
