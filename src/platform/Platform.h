// What the program needs of the system it runs on: the one sound call, a pause for waiting on it,
// and the folder the executable lives in. Each platform implements these in a
// file of its own (SDL on Linux, winmm on Windows); the tests link a fake with a virtual clock.
// No system header belongs here, so the song and window code compile without any.
#pragma once

#include <string>

// Flags of the sound call, with the values of the Windows API's sndPlaySound, whose meaning the
// program relies on. Guarded so that <windows.h> may come before or after this header.
#ifndef SND_SYNC
#define SND_SYNC 0x0000  // cut any sound, play this one to its end, then return
#endif
#ifndef SND_ASYNC
#define SND_ASYNC 0x0001  // cut any sound, start this one and return at once
#endif
#ifndef SND_NOSTOP
#define SND_NOSTOP 0x0010  // if a sound is playing, leave it and return false
#endif

namespace platform {

// Plays the WAV file at `path` (8-bit text, as the platform's file names are) with the flags
// above. Returns true when the sound was played or started. A file that cannot be found or read
// plays the system's default sound instead, as the Windows call does without SND_NODEFAULT.
bool sndPlaySound(const std::string& path, unsigned flags);

// What a caller that waits for the sound to end does between two busy probes: sleeps, using no
// processor time, until the sound playing now may have ended. False when the sound service has
// stopped advancing, and waiting longer would wait for good.
bool PauseWhileBusy();

// The full path of the folder that holds the running executable, without a trailing separator,
// and the separator that joins a folder and a file name on this platform.
std::string ExecutableFolder();
extern const char kDirSeparator;

}  // namespace platform
