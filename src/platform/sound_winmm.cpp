// The sound call on Windows, winmm's own sndPlaySoundA given the program's flags as they are, and
// the pause between busy probes. winmm cannot say when a sound will end, but this file knows what
// it started: the length of a clip is read from its WAV file's fmt and data chunks, and the pause
// sleeps until shortly before the clip's expected end. Only then is the sound service asked every
// millisecond, with the system timer's resolution raised for that short tail alone.

#include <windows.h>
// (after windows.h)
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <optional>

// mmsystem.h makes sndPlaySound a macro for its A or W form, which would rename the function
// defined below.
#undef sndPlaySound

#include "platform/Platform.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long before a clip's expected end the pause starts asking every millisecond.
constexpr milliseconds kTail{20};
// A clip still playing this long after its expected end, or a sound of unknown length this long
// after it started, means that the sound service has stopped advancing.
constexpr milliseconds kLateBy{5000};
constexpr milliseconds kUnknownLengthLimit{30000};

// The clip started last, and when it is expected to end. winmm starts a sound a little after it
// is asked to; how much later than expected the clip before ended is taken as the expected delay.
Clock::time_point started;
std::optional<Clock::time_point> expectedEnd;
Clock::duration delay{};
bool fineTimer = false;  // the timer resolution is raised to 1 ms, for the tail of a wait

// The length of the sound in the WAV file at `path`, read with winmm's RIFF functions: the data
// chunk's size over the fmt chunk's bytes per second. Nothing when the file has no such chunks.
std::optional<Clock::duration> WavLength(const std::string& path) {
  HMMIO file = mmioOpenA(const_cast<LPSTR>(path.c_str()), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  if (file == nullptr) return std::nullopt;
  std::optional<Clock::duration> length;
  MMCKINFO wave{}, chunk{};
  PCMWAVEFORMAT format{};
  wave.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(file, &wave, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR &&
      mmioDescend(file, &chunk, &wave, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
      mmioRead(file, reinterpret_cast<HPSTR>(&format), sizeof format) == sizeof format &&
      format.wf.nAvgBytesPerSec > 0 && mmioAscend(file, &chunk, 0) == MMSYSERR_NOERROR) {
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &wave, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
      length = milliseconds(1000LL * chunk.cksize / format.wf.nAvgBytesPerSec);
    }
  }
  mmioClose(file, 0);
  return length;
}

void SetFineTimer(bool fine) {
  if (fine == fineTimer) return;
  fineTimer = fine;
  if (fine) {
    timeBeginPeriod(1);
  } else {
    timeEndPeriod(1);
  }
}

}  // namespace

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  const Clock::time_point now = Clock::now();
  const bool done = ::sndPlaySoundA(path.c_str(), flags) != FALSE;
  if ((flags & SND_NOSTOP) != 0 && !done) return false;  // busy: the wait goes on
  if (fineTimer && expectedEnd)
    delay = std::clamp<Clock::duration>(now - *expectedEnd, {}, kLateBy);
  SetFineTimer(false);
  if ((flags & SND_ASYNC) != 0) {
    started = now;
    const std::optional<Clock::duration> length = WavLength(path);
    expectedEnd = length ? std::optional<Clock::time_point>(now + *length) : std::nullopt;
  }
  return done;
}

bool platform::PauseWhileBusy() {
  const Clock::time_point now = Clock::now();
  if (expectedEnd && now < *expectedEnd + delay - kTail) {
    Sleep(static_cast<DWORD>(
        std::chrono::duration_cast<milliseconds>(*expectedEnd + delay - kTail - now).count() + 1));
    return true;
  }
  if (now > (expectedEnd ? *expectedEnd + kLateBy : started + kUnknownLengthLimit)) return false;
  // Sleep(1) sleeps until the next tick of the system timer, 15.6 ms unless a program asks for
  // finer ticks; without them the pause between two clips would grow by up to that much.
  SetFineTimer(true);
  Sleep(1);
  return true;
}
