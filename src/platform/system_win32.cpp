// Pause, clock and executable folder on Windows.

#include <windows.h>
// (after windows.h)
#include <mmsystem.h>

#include <string>
#include <vector>

#undef sndPlaySound  // a macro of mmsystem.h; Platform.h declares the program's own
#include "platform/Platform.h"

const char platform::kDirSeparator = '\\';

// Sleep(1) sleeps until the next tick of the system timer, which is 15.6 ms unless a program asks
// for more: every wait between two clips would grow by up to that much. The resolution is raised
// for the pause alone, and the processor still sleeps.
void platform::PauseBriefly() {
  timeBeginPeriod(1);
  Sleep(1);
  timeEndPeriod(1);
}

long long platform::MonotonicMs() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  const long long perSecond = frequency.QuadPart;
  return count.QuadPart / perSecond * 1000 + count.QuadPart % perSecond * 1000 / perSecond;
}

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
