#!/usr/bin/env bash
# The installer under Wine, as a school's IT would use it, in a fresh prefix: the silent
# installation lists brumbesang, its version and its icon among the installed programs, the
# program started from its Start-menu shortcut's target sings a verse, and the silent removal
# leaves no file, folder, shortcut or registry entry of it behind. Runs under tools/sandbox.sh.
#   installer.sh WINDOWS_BUILD_FOLDER VERSION
set -euo pipefail
source "$(dirname "$0")/../../tools/desktop.sh"
msi=$(echo "$1"/*-"$2"-win*.msi)
files() (wineserver -w && cd "$WINEPREFIX/drive_c" && find . | grep -v '/Installer$' | sort)
wine_prefix && files >"$work/before"
timeout 60 wine msiexec /i "$msi" /qn || fail "the silent installation ended with status $?"
wineserver -w && grep -A9 -F '"DisplayName"="brumbesang"' "$WINEPREFIX/system.reg" | grep -qF "\"DisplayVersion\"=\"$2\"" &&
  grep -q '"ProductIcon"=.*brumbesang.ico' "$WINEPREFIX/user.reg" || fail "no entry for brumbesang $2 with its icon"
lnk=$(find "$WINEPREFIX" -path '*/Start Menu/Programs/brumbesang.lnk')  # its target, in the clear:
target=$(strings -a "$lnk" | grep -m1 '^C:.*\\brumbesang\.exe$') || fail "no Start-menu shortcut to brumbesang.exe"
start "$target" wine
click play && wait_for 2 && [ "$(played | wc -l)" -ge 2 ] || fail "verse 1 played [$(played | xargs)] from the shortcut's target"
close || fail "the program did not end, or not with status 0"
timeout 60 wine msiexec /x "$msi" /qn || fail "the silent removal ended with status $?"
diff "$work/before" <(files) && ! grep -il brumbesang "$WINEPREFIX"/*.reg || fail "the removal left the above behind"
