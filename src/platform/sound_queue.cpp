#include "sound_queue.h"

#include <algorithm>

namespace platform {

void SoundQueue::Start(const Samples& sound, Clock::time_point now) {
  Advance(now);
  std::size_t from = 0;  // the first sample of `sound` still to be played
  if (released_ && Left() > 0) {
    samples_.erase(samples_.begin(), samples_.begin() + position_);  // keep its unplayed end
  } else {
    samples_.clear();  // cut what plays
    // Just after a sound has ended, the device has been handed zeros behind it, where this
    // sound would have begun: as many of its first samples as are zeros count as played.
    while (from < std::min(padding_, sound.size()) && sound[from] == 0) ++from;
  }
  samples_.insert(samples_.end(), sound.begin() + from, sound.end());
  padding_ = 0;
  position_ = 0;
  released_ = false;
  if (standIn_) {
    StandIn(now);
  } else {
    ends_ = Left() == 0 ? now : Clock::time_point::max();
  }
}

bool SoundQueue::Playing(Clock::time_point now) {
  Advance(now);
  return Left() > 0 && !released_;
}

bool SoundQueue::LetGo(Clock::time_point now) {
  Advance(now);
  if (Left() > (standIn_ ? 0 : bufferFrames_)) return false;
  released_ = true;
  return true;
}

bool SoundQueue::Quiet(Clock::time_point now) {
  Advance(now);
  return Left() == 0;
}

bool SoundQueue::Take(std::int16_t* out, std::size_t frames, Clock::time_point now) {
  Advance(now);  // what the stand-in clock has taken until now
  standIn_ = false;
  lastTaken_ = now;
  bufferFrames_ = frames;
  const std::size_t count = std::min(frames, Left());
  std::copy_n(samples_.begin() + position_, count, out);
  std::fill(out + count, out + frames, std::int16_t{0});
  position_ += count;
  padding_ = count > 0 ? frames - count : 0;  // zeros behind a sound that ended here
  if (count == 0) return false;
  ends_ = Left() == 0 ? now : Clock::time_point::max();
  return Left() <= bufferFrames_;  // a sound's last buffer is due, or it has ended
}

void SoundQueue::Lose(Clock::time_point now) {
  if (!standIn_) StandIn(now);
}

// The stand-in clock's share: the samples due since it took over.
void SoundQueue::Advance(Clock::time_point now) {
  if (!standIn_ && now >= lastTaken_ + kStalledAfter) StandIn(lastTaken_);  // the device stopped
  if (!standIn_) return;
  const double due = std::chrono::duration<double>(now - since_).count() * kRate;
  position_ = now >= ends_
                  ? samples_.size()
                  : std::min(samples_.size(), from_ + static_cast<std::size_t>(std::max(due, 0.0)));
}

void SoundQueue::StandIn(Clock::time_point from) {
  standIn_ = true;
  since_ = from;
  from_ = position_;
  padding_ = 0;
  ends_ = from + std::chrono::duration_cast<Clock::duration>(
                     std::chrono::duration<double>(static_cast<double>(Left()) / kRate));
}

}  // namespace platform
