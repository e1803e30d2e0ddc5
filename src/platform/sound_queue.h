// The sounds waiting to be played on Linux, and when each ends: the part of the sound call that
// knows nothing of SDL or of the sound server, so that its seams and waits can be checked alone.
//
// One sound plays at a time, on two clocks. The program's clock says when a sound ends, for whoever
// waits for it: the audio device, as it takes the samples a buffer at a time, or, wherever the
// device is later than that, a stand-in clock at the same rate. So a sound always lasts its own
// length, heard or not, and a run keeps its pace whatever the sound server does. The device's own
// place says what it plays next: it plays every sample, in order, even when it begins late (a sink
// waking from suspend, or a sound server just started, can take two seconds to ask for a new
// stream's second buffer). Its lag closes in the quiet between sounds: a sound placed after one
// that has ended goes right behind what the device has still to play. A stop cuts it all at once.
//
// The samples are given up, and the device goes on from the program's clock, only when no device
// will take them: none can be opened, the device has been lost, or it has stopped taking samples
// (for half a second once it has been playing, for three seconds while it begins): a sound server
// that hangs.
//
// Seamless pauses. A sound played synchronously (the silence clip of the busy probe or of a stop)
// lets its caller go on about one device buffer before its last sample is handed to the device,
// and from then on counts as ended. A sound started next is placed right behind it, sample for
// sample, instead of at the next buffer. The other seam, from a clip to the silence clip after it,
// is exact too: the rest of the buffer in which the clip ended was zeros, and the silence clip's
// first samples are zeros as well. So the pause between two clips is exactly the silence clip,
// and the device buffer can be as large as a real sound server needs to never run dry.
//
// Not thread-safe: its owner holds a lock around every call. The time is passed in.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace platform {

// Every sound is played as mono 16-bit samples at this rate, the clips' own: they need no
// converting, and the sound server, which mixes at its own rate, takes what is left.
inline constexpr int kRate = 22050;
using Samples = std::vector<std::int16_t>;
using Clock = std::chrono::steady_clock;

// A device that takes no samples for this long counts as hung, and its samples are given up: once
// it has taken kStartBuffers buffers, and, while it begins, for kStartWait (a sink that wakes from
// suspend, or a sound server just started, may take two seconds to ask for the second buffer).
inline constexpr auto kStalledAfter = std::chrono::milliseconds(500);
inline constexpr auto kStartWait = std::chrono::seconds(3);
inline constexpr int kStartBuffers = 3;

class SoundQueue {
 public:
  // Starts `sound`. With `cut`, or while the sound before it still plays, it cuts every sound, what
  // the device has still to play included; else it goes right behind what is left.
  void Start(const Samples& sound, bool cut, Clock::time_point now);

  // Whether the sound started last still plays, as the busy probe sees it.
  bool Playing(Clock::time_point now);
  // Whether the caller of a synchronous sound may go on: true once its last buffer is due on the
  // device, or once it has ended; from then on it counts as ended.
  bool LetGo(Clock::time_point now);
  // Whether the device has nothing left to play.
  bool Quiet(Clock::time_point now);
  // When the stand-in clock ends the sounds started so far: when a waiter should look again if
  // the device does not wake it first.
  Clock::time_point Due() const;
  // When the last sound ended, or will end, for the program and the device both.
  Clock::time_point Ends() const { return std::max(ends_, Due()); }

  // A device is being opened: the samples from now on are kept for it.
  void Opening(Clock::time_point now);
  // The device takes its next `frames` samples into `out`. True when a waiter may go on now.
  bool Take(std::int16_t* out, std::size_t frames, Clock::time_point now);
  // The device is gone: its samples are given up.
  void Lose(Clock::time_point now);

 private:
  enum class Device { kNone, kStarting, kPlaying };
  void Advance(Clock::time_point now);
  std::size_t At(Clock::time_point now) const;  // the program's place

  Samples samples_;           // what the device has still to play, then the sound playing now
  std::size_t deviceAt_ = 0;  // the next sample the device takes
  std::size_t padding_ = 0;   // zeros the device took behind a sound that ended in its last buffer
  std::size_t bufferFrames_ = 0;  // how many samples the device takes at a time
  bool released_ = false;         // the sound playing now was synchronous and let its caller go
  // The stand-in clock: the sample at `from_` was due at `since_`.
  std::size_t from_ = 0;
  Clock::time_point since_;
  Device device_ = Device::kNone;
  int taken_ = 0;                // buffers the device has taken since it began
  Clock::time_point lastTaken_;  // when it last took samples, or was asked for
  Clock::time_point ends_;       // when the device took the last sample
};

}  // namespace platform
