// The sound call on Windows: winmm's own sndPlaySoundA, given the program's flags as they are.

#include <windows.h>
// (after windows.h)
#include <mmsystem.h>

// mmsystem.h makes sndPlaySound a macro for its A or W form, which would rename the function
// defined below.
#undef sndPlaySound

#include "platform/Platform.h"

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  return ::sndPlaySoundA(path.c_str(), flags) != FALSE;
}
