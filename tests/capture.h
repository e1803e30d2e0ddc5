// What was played, as recorded from the sound server (16-bit mono samples at 48 kHz), cut into
// sounds at the runs of exact zeros between them. Clips made for the tests and the real ones
// alike hold no run of zeros of their own, so a run of zeros inside a sound is a hole: the
// device ran dry.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace capture {

constexpr double kSamplesPerMs = 48.0;

struct Sound {
  double startMs, lengthMs, pauseMs;  // pauseMs: the zeros before it
  int level;                          // the median size of its samples
  int holes;                          // runs of 1 ms or more of zeros inside it
};

inline std::vector<std::int16_t> Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::int16_t> samples;
  for (std::int16_t s; file.read(reinterpret_cast<char*>(&s), sizeof s);) samples.push_back(s);
  return samples;
}

// Runs of zeros of at least `pauseMs` part two sounds; shorter ones lie inside a sound.
inline std::vector<Sound> Sounds(const std::vector<std::int16_t>& s, double pauseMs) {
  std::vector<Sound> sounds;
  std::size_t i = 0, end = 0;  // end: one past the last sample of the sound before
  while (i < s.size()) {
    while (i < s.size() && s[i] == 0) ++i;
    if (i == s.size()) break;
    const std::size_t start = i;
    const double pause = sounds.empty() ? 0 : (start - end) / kSamplesPerMs;
    std::vector<int> sizes;
    int holes = 0;
    for (std::size_t zeros = 0; i < s.size() && zeros < pauseMs * kSamplesPerMs; ++i) {
      if (s[i] == 0) {
        ++zeros;
        continue;
      }
      holes += zeros >= kSamplesPerMs;
      zeros = 0;
      sizes.push_back(std::abs(s[i]));
      end = i + 1;
    }
    std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
    sounds.push_back({start / kSamplesPerMs, (end - start) / kSamplesPerMs, pause,
                      sizes[sizes.size() / 2], holes});
    i = end;
  }
  return sounds;
}

}  // namespace capture
