// The executable's folder on Windows.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Platform.h"

const char platform::kDirSeparator = '\\';

// The 8-bit (ANSI) path of the executable, as sndPlaySoundA takes its file names, cut at the last
// backslash. A path longer than MAX_PATH is read with a larger buffer.
std::string platform::ExecutableFolder() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      const std::string exe(path.data(), length);
      const std::size_t slash = exe.find_last_of("\\/");
      return slash == std::string::npos ? "." : exe.substr(0, slash);
    }
    path.resize(path.size() * 2);
  }
}
