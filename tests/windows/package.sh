#!/usr/bin/env bash
# The Windows package as it ships: a 32-bit brumbesang.exe that needs no DLL beyond those of
# Windows itself, with the project's version in its version record, beside its 40 clips in
# brumbesang-win32.zip, with its readme and the notices of what it carries.
#   package.sh WINDOWS_BUILD_FOLDER VERSION
set -euo pipefail
exe=$1/brumbesang/brumbesang.exe
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
format=$(i686-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')
[ "$format" = pei-i386 ] || fail "brumbesang.exe is $format, expected pei-i386"
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr a-z A-Z)
extra=$(grep -vxE 'COMCTL32|GDI32|KERNEL32|MSVCRT|USER32|WINMM' <<<"${dlls//.DLL/}" || true)
[ -z "$extra" ] || fail "brumbesang.exe needs $(xargs <<<"$extra"), which do not come with Windows"
# Each string of the version record is its name and its value, in UTF-16.
for name in FileVersion ProductVersion; do
  value=$(strings -e l "$exe" | grep -A1 -x "$name" | tail -n 1)
  [ "$value" = "$2" ] || fail "the version record's $name is [$value], expected [$2]"
done
want=$( (echo brumbesang.exe LESMEG.txt THIRD-PARTY-NOTICES.txt | xargs -n1; cd "$(dirname "$0")/../../clips" && ls ./*.wav) |
  sed 's|^\(\./\)\?|brumbesang/|' | sort)
got=$(cmake -E tar tf "$1/brumbesang-win32.zip" | sort)
[ "$got" = "$want" ] || fail "the zip holds [$(xargs <<<"$got")], expected [$(xargs <<<"$want")]"
echo "brumbesang.exe: $format, version $2, needs $(xargs <<<"$dlls"); the zip: $(wc -l <<<"$got") files"
