// What was played, as recorded from the sound server (16-bit mono samples at 48 kHz), cut into
// sounds at the runs of exact zeros between them. Clips made for the tests and the real ones
// alike hold no run of zeros of their own, so a run of zeros inside a sound is a hole: the
// device ran dry.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace capture {

// A sound: its length, and the zeros before it (ms; for the first sound, from the recording's
// start); the mean size of its samples that are not zero; and its holes, the runs of 1 ms or more
// of zeros inside it.
struct Sound {
  double lengthMs, pauseMs;
  int level, holes;
};

// The sounds in the recording at `path`: runs of zeros of `pauseMs` or more part two sounds.
inline std::vector<Sound> Sounds(const std::string& path, double pauseMs) {
  std::ifstream file(path, std::ios::binary);
  std::vector<Sound> sounds;
  double sizes = 0, count = 0;             // of the samples not zero of the sound under way
  std::size_t at = 0, start = 0, end = 0;  // in samples; `end` is past its last one not zero
  for (std::int16_t s; file.read(reinterpret_cast<char*>(&s), sizeof s); ++at) {
    if (s == 0) continue;                              // the zeros before this sample: at - end
    if (sounds.empty() || at - end >= pauseMs * 48) {  // a new sound
      sounds.push_back({0, (at - end) / 48.0, 0, 0});
      sizes = count = 0;
      start = at;
    } else if (at - end >= 48) {
      ++sounds.back().holes;
    }
    end = at + 1;
    sounds.back().lengthMs = (end - start) / 48.0;
    sizes += std::abs(s);
    sounds.back().level = static_cast<int>(sizes / ++count);
  }
  return sounds;
}

}  // namespace capture
