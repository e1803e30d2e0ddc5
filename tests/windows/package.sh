#!/usr/bin/env bash
# The Windows package as it ships: a 32-bit brumbesang.exe that needs no DLL beyond those of
# Windows itself, with the project's version in its version record, beside its 40 clips, its
# readme and the notices of what it carries, in brumbesang-win32.zip.
#   package.sh WINDOWS_BUILD_FOLDER VERSION
set -euo pipefail
exe=$1/brumbesang/brumbesang.exe
fail() { echo "FAIL: $*" >&2 && exit 1; }
format=$(i686-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')
[ "$format" = pei-i386 ] || fail "brumbesang.exe is $format, expected pei-i386"
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr a-z A-Z | xargs)
[[ "$dlls" =~ ^((COMCTL32|GDI32|KERNEL32|MSVCRT|USER32|WINMM)\.DLL ?)+$ ]] ||
  fail "brumbesang.exe needs $dlls, not only DLLs that come with Windows"
# Each string of the version record is its name and then its value, in UTF-16.
version=$(strings -e l "$exe" | awk 'name { print name "=" $0 } { name = /^(File|Product)Version$/ ? $0 : "" }' | xargs)
[ "$version" = "FileVersion=$2 ProductVersion=$2" ] || fail "the version record holds [$version], expected $2"
want=$( (echo brumbesang.exe LESMEG.txt THIRD-PARTY-NOTICES.txt; cd "$(dirname "$0")/../../clips" && echo *.wav) |
  xargs -n1 | sed 's|^|brumbesang/|' | sort)
got=$(cmake -E tar tf "$1/brumbesang-win32.zip" | sort)
[ "$got" = "$want" ] || fail "the zip holds [$(xargs <<<"$got")], expected [$(xargs <<<"$want")]"
