#include "sound_queue.h"

namespace platform {

void SoundQueue::Start(const Samples& sound, bool cut, Clock::time_point now) {
  Advance(now);
  const bool playing = At(now) < samples_.size();
  std::size_t from = 0;  // the first sample of `sound` still to be played
  if (cut || (playing && !released_) || deviceAt_ == samples_.size()) {
    // Cut what plays, or begin afresh once the device has played everything. Just after a sound
    // has ended, the device has been handed zeros behind it, where this sound would have begun: as
    // many of its first samples as are zeros count as played.
    while (from < std::min(padding_, sound.size()) && sound[from] == 0) ++from;
    samples_.clear();
    deviceAt_ = from_ = 0;
    since_ = now;
  } else if (!playing) {
    // The device still plays what has ended on the program's clock: this sound begins now on
    // that clock, and right behind it on the device.
    from_ = samples_.size();
    since_ = now;
  }  // else right behind a synchronous sound that let its caller go, on both clocks
  samples_.insert(samples_.end(), sound.begin() + from, sound.end());
  padding_ = 0;
  released_ = false;
  // What both clocks have passed is dropped.
  const std::size_t done = std::min(deviceAt_, from_);
  samples_.erase(samples_.begin(), samples_.begin() + done);
  deviceAt_ -= done;
  from_ -= done;
}

bool SoundQueue::Playing(Clock::time_point now) {
  Advance(now);
  return At(now) < samples_.size() && !released_;
}

bool SoundQueue::LetGo(Clock::time_point now) {
  Advance(now);
  const bool lastBuffer = device_ != Device::kNone && samples_.size() - deviceAt_ <= bufferFrames_;
  if (At(now) < samples_.size() && !lastBuffer) return false;
  released_ = true;
  return true;
}

bool SoundQueue::Quiet(Clock::time_point now) {
  Advance(now);
  return deviceAt_ == samples_.size();
}

Clock::time_point SoundQueue::Due() const {
  return since_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                      static_cast<double>(samples_.size() - from_) / kRate));
}

void SoundQueue::Opening(Clock::time_point now) {
  if (device_ != Device::kNone) return;
  Advance(now);
  device_ = Device::kStarting;
  taken_ = 0;
  bufferFrames_ = 0;  // not known until it takes some
  lastTaken_ = now;
}

bool SoundQueue::Take(std::int16_t* out, std::size_t frames, Clock::time_point now) {
  Advance(now);  // a device given up goes on from the program's clock,
  Opening(now);  // and begins again
  if (++taken_ >= kStartBuffers) device_ = Device::kPlaying;
  lastTaken_ = now;
  bufferFrames_ = frames;
  const std::size_t count = std::min(frames, samples_.size() - deviceAt_);
  std::copy_n(samples_.begin() + deviceAt_, count, out);
  std::fill(out + count, out + frames, std::int16_t{0});
  deviceAt_ += count;
  padding_ = count > 0 ? frames - count : 0;  // zeros behind a sound that ended here
  if (count == 0) return false;
  if (deviceAt_ == samples_.size()) ends_ = now;
  return samples_.size() - deviceAt_ <= bufferFrames_;  // a sound's last buffer is due
}

void SoundQueue::Lose(Clock::time_point now) {
  device_ = Device::kNone;
  Advance(now);
}

// The program's place: the device's, or the stand-in clock's where the device is behind it.
std::size_t SoundQueue::At(Clock::time_point now) const {
  if (now >= Due()) return samples_.size();
  const double due = std::chrono::duration<double>(now - since_).count() * kRate;
  return std::max(deviceAt_, from_ + static_cast<std::size_t>(std::max(due, 0.0)));
}

// A device that has stopped taking samples is given up, and while no device takes them, they go
// by on the program's clock.
void SoundQueue::Advance(Clock::time_point now) {
  const auto quiet = now - lastTaken_;
  if ((device_ == Device::kStarting && quiet >= kStartWait) ||
      (device_ == Device::kPlaying && quiet >= kStalledAfter)) {
    device_ = Device::kNone;
  }
  if (device_ == Device::kNone) deviceAt_ = At(now);
}

}  // namespace platform
