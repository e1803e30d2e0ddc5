// The executable's folder on Windows.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Win32Text.h"

const char platform::kDirSeparator = '\\';

namespace {

// The full path of the executable, however long; empty if it cannot be read.
std::wstring ExecutablePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

// Writes `wide` in the process's ANSI code page into `ansi`. False when the code page lacks one
// of its letters (written as "?" or a look-alike), which converting back tells.
bool ToAnsi(const std::wstring& wide, std::string& ansi) {
  ansi = Narrow(wide, CP_ACP);
  return Wide(ansi, CP_ACP) == wide;
}

}  // namespace

// The 8-bit (ANSI) path of the executable's folder, as sndPlaySoundA takes its file names. With
// the manifest's UTF-8 code page (Windows 10 version 1903 and later) every path can be written so.
// Where the system ignores it and the folder's path has letters the code page lacks, the folder's
// short (8.3) path is used, if the volume keeps one that the code page can write; failing that,
// the path as well as the code page writes it, where the clips will not be found.
std::string platform::ExecutableFolder() {
  std::wstring folder = ExecutablePath();
  const std::size_t slash = folder.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return ".";
  folder.resize(slash);
  std::string ansi, shortAnsi;
  if (ToAnsi(folder, ansi)) return ansi;
  std::wstring shortFolder(GetShortPathNameW(folder.c_str(), nullptr, 0), 0);
  const DWORD length =
      GetShortPathNameW(folder.c_str(), shortFolder.data(), static_cast<DWORD>(shortFolder.size()));
  if (length == 0 || length >= shortFolder.size()) return ansi;
  shortFolder.resize(length);
  return ToAnsi(shortFolder, shortAnsi) ? shortAnsi : ansi;
}
