#include "fake_platform.h"

#include "platform/Platform.h"

namespace fake {

long long Sound::Length(const std::string& clip) const {
  const auto it = lengths.find(clip);
  return it == lengths.end() ? defaultLength : it->second;
}

std::vector<std::string> Sound::Played() const {
  std::vector<std::string> played;
  for (const Call& call : calls) {
    if (call.flags == SND_NOSTOP) {
      if (call.result) played.push_back("silence");
    } else if (call.flags == SND_SYNC) {
      played.push_back("stop");
    } else {
      played.push_back(call.clip);
    }
  }
  return played;
}

Sound& Service() {
  static Sound sound;
  return sound;
}

void Reset() {
  Service() = Sound();
}

}  // namespace fake

const char platform::kDirSeparator = '/';

std::string platform::ExecutableFolder() {
  return fake::kFolder;
}

void platform::PauseBriefly() {
  fake::Service().now += 1;
}

long long platform::MonotonicMs() {
  return fake::Service().now;
}

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  fake::Sound& s = fake::Service();
  const std::string clip = path.rfind(fake::kDir, 0) == 0 ? path.substr(fake::kDir.size()) : path;
  const long long at = s.now;
  bool result = true;
  if (s.stuck) {
    result = false;
  } else if ((flags & SND_NOSTOP) != 0 && s.Busy()) {
    result = false;
  } else {
    s.playing = clip;
    s.ends = s.now + s.Length(clip);
    if ((flags & SND_ASYNC) == 0) s.now = s.ends;  // synchronous: the caller waits it out
  }
  s.calls.push_back({at, clip, flags, result});
  return result;
}
