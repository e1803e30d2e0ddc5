// Reads what the program played, as SDL's disk driver writes it (16-bit mono samples at 48 kHz),
// and names the clips in it. The end-to-end tests give every clip a level of its own (a square
// wave at that level); between two clips the output is exact zeros.
//
//   clipscan TAGS RAW
//
// TAGS has one line per clip, "name level". Prints one line per sound found:
//   name start_ms length_ms gap_ms level
// where gap_ms is the silence before it and name is "?" when no clip has its level.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr std::size_t kMinGap = 960;  // 20 ms of zeros part two sounds; shorter runs are inside one

struct Tag {
  std::string name;
  int level;
};

double Ms(std::size_t samples) {
  return samples * 1000.0 / kRate;
}

int MedianLevel(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
  std::vector<int> levels;
  for (std::size_t i = from; i < to; ++i) levels.push_back(std::abs(static_cast<int>(s[i])));
  std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
  return levels[levels.size() / 2];
}

std::string NameOf(const std::vector<Tag>& tags, int level) {
  for (const Tag& tag : tags)
    if (std::abs(tag.level - level) <= std::max(60, tag.level / 50)) return tag.name;
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: clipscan TAGS RAW\n";
    return 2;
  }
  std::vector<Tag> tags;
  std::ifstream tagFile(argv[1]);
  for (Tag tag; tagFile >> tag.name >> tag.level;) tags.push_back(tag);

  std::ifstream raw(argv[2], std::ios::binary);
  std::vector<std::int16_t> s;
  for (std::int16_t v; raw.read(reinterpret_cast<char*>(&v), sizeof v);) s.push_back(v);

  std::size_t i = 0;
  std::size_t lastEnd = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == 0) ++i;
    if (i == s.size()) break;
    const std::size_t start = i;
    std::size_t end = i;  // one past the last non-zero sample
    while (i < s.size() && i - end < kMinGap) {
      if (s[i] != 0) end = i + 1;
      ++i;
    }
    const int level = MedianLevel(s, start, end);
    std::printf("%s %.1f %.1f %.1f %d\n", NameOf(tags, level).c_str(), Ms(start), Ms(end - start),
                Ms(start - lastEnd), level);
    lastEnd = end;
    i = end;
  }
  return 0;
}
