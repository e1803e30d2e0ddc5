// The sounds waiting to be played on Linux, and when each ends: the part of the sound call that
// knows nothing of SDL or of the sound server, so that its seams and waits can be checked alone.
//
// One sound plays at a time. Its samples are taken either by the audio device, a buffer at a
// time, or, while no device takes them (none is open yet, the sound server is gone, or the device
// has stopped taking samples), by a stand-in clock at the same rate: a sound always lasts its own
// length, heard or not, and whoever waits for it waits for that long and no longer.
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

#include <chrono>
#include <cstdint>
#include <vector>

namespace platform {

// Every sound is played as mono 16-bit samples at this rate, the clips' own: they need no
// converting, and the sound server, which mixes at its own rate, takes what is left.
inline constexpr int kRate = 22050;
using Samples = std::vector<std::int16_t>;
using Clock = std::chrono::steady_clock;

// A device that has taken no samples for this long has stopped: the stand-in clock goes on from
// where it stopped, until it takes samples again.
inline constexpr auto kStalledAfter = std::chrono::milliseconds(500);

class SoundQueue {
 public:
  // Starts `sound`: right behind a synchronous sound that has let its caller go, or else cutting
  // whatever plays.
  void Start(const Samples& sound, Clock::time_point now);

  // Whether the sound started last still plays, as the busy probe sees it.
  bool Playing(Clock::time_point now);
  // Whether the caller of a synchronous sound may go on: true once its last buffer is due (or, on
  // the stand-in clock, once it has ended); from then on it counts as ended.
  bool LetGo(Clock::time_point now);
  // Whether nothing is left to play.
  bool Quiet(Clock::time_point now);
  // When a waiter should look again if the device does not wake it first: when the stand-in clock
  // ends the sound, or when the device will count as stopped.
  Clock::time_point Due() const { return standIn_ ? ends_ : lastTaken_ + kStalledAfter; }
  // When the last sound ended or will end; Clock::time_point::max() while the device plays it.
  Clock::time_point Ends() const { return ends_; }

  // The device takes its next `frames` samples into `out`. True when a waiter may go on now.
  bool Take(std::int16_t* out, std::size_t frames, Clock::time_point now);
  // The device is gone: the stand-in clock takes its place from `now`.
  void Lose(Clock::time_point now);

 private:
  void Advance(Clock::time_point now);
  void StandIn(Clock::time_point from);
  std::size_t Left() const { return samples_.size() - position_; }

  Samples samples_;           // the sound playing now, and the one placed behind it
  std::size_t position_ = 0;  // the next sample to be taken
  std::size_t padding_ = 0;   // zeros the device took behind a sound that ended in its last buffer
  std::size_t bufferFrames_ = 0;  // how many samples the device takes at a time
  bool released_ = false;         // the sound playing now was synchronous and let its caller go
  Clock::time_point lastTaken_;   // when the device last took samples
  Clock::time_point ends_;        // see Ends()
  // The stand-in clock: while it runs, the sample at `from_` was due at `since_`.
  bool standIn_ = true;
  std::size_t from_ = 0;
  Clock::time_point since_;
};

}  // namespace platform
