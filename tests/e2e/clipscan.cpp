// Reads what the program played, as SDL's disk driver writes it (16-bit mono samples at 48 kHz),
// and names the clips in it. The end-to-end tests give every clip a level of its own (a square
// wave at that level); between two clips the output is exact zeros.
//
//   clipscan TAGS RAW
//
// TAGS has one line per clip, "name level". A run of zeros shorter than CLIPSCAN_JOIN_MS (20 by
// default) lies inside one sound rather than between two. Prints one line per sound found:
//   name start_ms length_ms gap_ms level flat
// where gap_ms is the silence before it, level the median of the samples' sizes and flat the
// share of samples (in %) at that level. A square wave is flat (lossy formats less so); two clips
// mixed or run together are not, and neither is the program's stand-in tone for a clip it cannot
// play. A sound that no clip has the level of is named "tone" when it is not flat, else "?".

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

bool Near(int level, int tag) {
  return std::abs(tag - level) <= std::max(60, tag / 50);
}

// The share of samples, in %, whose size is near `level`.
int FlatShare(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to, int level) {
  std::size_t near = 0;
  for (std::size_t i = from; i < to; ++i) near += Near(std::abs(static_cast<int>(s[i])), level);
  return static_cast<int>(100 * near / (to - from));
}

std::string NameOf(const std::vector<Tag>& tags, int level, int flat) {
  for (const Tag& tag : tags)
    if (Near(level, tag.level)) return tag.name;
  return flat < 25 ? "tone" : "?";
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

  const char* join = std::getenv("CLIPSCAN_JOIN_MS");
  const std::size_t minGap =
      static_cast<std::size_t>((join ? std::atof(join) : 20.0) * kRate / 1000);

  std::size_t i = 0;
  std::size_t lastEnd = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == 0) ++i;
    if (i == s.size()) break;
    const std::size_t start = i;
    std::size_t end = i;  // one past the last non-zero sample
    while (i < s.size() && i - end < minGap) {
      if (s[i] != 0) end = i + 1;
      ++i;
    }
    const int level = MedianLevel(s, start, end);
    const int flat = FlatShare(s, start, end, level);
    std::printf("%s %.1f %.1f %.1f %d %d\n", NameOf(tags, level, flat).c_str(), Ms(start),
                Ms(end - start), Ms(start - lastEnd), level, flat);
    lastEnd = end;
    i = end;
  }
  return 0;
}
