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

struct Sound {
  double lengthMs, pauseMs;  // pauseMs: the zeros before it
  int level;                 // the median size of its samples
  int holes;                 // runs of 1 ms or more of zeros inside it
};

// The sounds in the recording at `path`: runs of zeros of `pauseMs` or more part two sounds.
inline std::vector<Sound> Sounds(const std::string& path, double pauseMs) {
  std::ifstream file(path, std::ios::binary);
  std::vector<Sound> sounds;
  std::vector<int> sizes;                             // of the samples of the sound under way
  std::size_t at = 0, start = 0, end = 0, zeros = 0;  // in samples
  const auto finish = [&] {
    std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
    sounds.back().lengthMs = (end - start) / 48.0;
    sounds.back().level = sizes[sizes.size() / 2];
  };
  for (std::int16_t s; file.read(reinterpret_cast<char*>(&s), sizeof s); ++at) {
    if (s == 0 && ++zeros) continue;
    if (sizes.empty() || zeros >= pauseMs * 48) {  // a new sound
      if (!sizes.empty()) finish();
      sounds.push_back({0, sizes.empty() ? 0 : (at - end) / 48.0, 0, 0});
      sizes.clear();
      start = at;
    } else if (zeros >= 48) {
      ++sounds.back().holes;
    }
    sizes.push_back(std::abs(s));
    end = at + 1;
    zeros = 0;
  }
  if (!sizes.empty()) finish();
  return sounds;
}

}  // namespace capture
