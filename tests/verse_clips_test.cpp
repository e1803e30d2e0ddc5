// Which clips sing which verse.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "song/Module1.h"

namespace {

using Module1::ClipNames;
using Module1::VerseClips;

std::string Join(const ClipNames& clips) {
  std::string text;
  for (const std::string& clip : clips) text += (text.empty() ? "" : " ") + clip;
  return text;
}

struct Row {
  const char* verse;
  const char* clips;  // in playing order
};

TEST(VerseClips, SingsTheWordsOfEachVerse) {
  const Row rows[] = {
      {"1", "1.wav brumbe.wav"},                           // én brumbe
      {"2", "2.wav brumber.wav"},                          // to brumber
      {"7", "7.wav brumber.wav"},                          // sju brumber
      {"11", "11.wav brumber.wav"},                        // elleve brumber
      {"20", "20.wav brumber.wav"},                        // tjue brumber
      {"21", "20.wav 1.wav brumber.wav"},                  // tjue-én brumber
      {"40", "40.wav brumber.wav"},                        // førti brumber
      {"47", "40.wav 7.wav brumber.wav"},                  // førti-sju brumber
      {"91", "90.wav 1.wav brumber.wav"},                  // nitti-én brumber
      {"99", "90.wav 9.wav brumber.wav"},                  // nitti-ni brumber
      {"100", "100.wav brumber.wav"},                      // hundre brumber
      {"101", "100.wav og.wav 1.wav brumbe.wav"},          // hundre og én brumbe
      {"110", "100.wav og.wav 10.wav brumber.wav"},        // hundre og ti brumber
      {"119", "100.wav og.wav 19.wav brumber.wav"},        // hundre og nitten brumber
      {"120", "100.wav og.wav 20.wav brumber.wav"},        // hundre og tjue brumber
      {"200", "200.wav brumber.wav"},                      // to hundre brumber
      {"305", "300.wav og.wav 5.wav brumber.wav"},         // tre hundre og fem brumber
      {"347", "300.wav og.wav 40.wav 7.wav brumber.wav"},  // tre hundre og førti-sju ...
      {"560", "500.wav og.wav 60.wav brumber.wav"},        // fem hundre og seksti ...
      {"901", "900.wav og.wav 1.wav brumbe.wav"},          // ni hundre og én brumbe
      {"900", "900.wav brumber.wav"},                      // ni hundre brumber
      {"999", "900.wav og.wav 90.wav 9.wav brumber.wav"},  // ni hundre og nitti-ni ...
      {"0", ""},                                           // no verse
      {"-3", ""},                                          // no verse
      {"1000", ""},                                        // past the last verse
      {"32767", ""},                                       // the largest verse number
      {"-32768", ""},                                      // the smallest
      // Text not in the plain form still sings the number it reads as.
      {"007", "7.wav brumber.wav"},          // sju brumber
      {"21,9", "20.wav 1.wav brumber.wav"},  // tjue-én brumber
      {"abc", ""},                           // no number
      {"", ""},                              // no number
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Join(VerseClips(row.verse)), row.clips) << "verse \"" << row.verse << "\"";
  }
}

// Every verse from -3 to 999, against the rules of the song rather than a list: only files the
// program ships, the number's words in order, and the right noun at the end.
TEST(VerseClips, EveryVerseFollowsTheRules) {
  std::set<std::string> shipped = {"og.wav", "brumbe.wav", "brumber.wav"};
  for (int i = 1; i <= 20; ++i) shipped.insert(std::to_string(i) + ".wav");
  for (int i = 30; i <= 90; i += 10) shipped.insert(std::to_string(i) + ".wav");
  for (int i = 100; i <= 900; i += 100) shipped.insert(std::to_string(i) + ".wav");
  ASSERT_EQ(shipped.size(), 39u);

  for (int n = -3; n <= 999; ++n) {
    const ClipNames clips = VerseClips(std::to_string(n));
    SCOPED_TRACE("verse " + std::to_string(n) + ": " + Join(clips));
    if (n < 1) {
      EXPECT_TRUE(clips.empty());
      continue;
    }
    ASSERT_GE(clips.size(), 2u);
    for (const std::string& clip : clips) EXPECT_EQ(shipped.count(clip), 1u) << clip;

    // Add up the values the number clips stand for; it must give the verse number back.
    int sum = 0;
    for (std::size_t i = 0; i + 1 < clips.size(); ++i) {
      if (clips[i] != "og.wav") sum += std::stoi(clips[i]);
    }
    EXPECT_EQ(sum, n);

    const int rest = n % 100;
    EXPECT_EQ(clips.back(), rest == 1 ? "brumbe.wav" : "brumber.wav");
    const bool og = std::find(clips.begin(), clips.end(), "og.wav") != clips.end();
    EXPECT_EQ(og, n >= 100 && rest != 0);
    if (n >= 100) {
      EXPECT_EQ(clips.front(), std::to_string(n / 100 * 100) + ".wav");
    }
    // Numbers up to twenty have a clip of their own; above that, tens come before units.
    const std::size_t words = clips.size() - 1 - (n >= 100) - og;
    EXPECT_EQ(words, rest == 0 ? 0u : (rest <= 20 || rest % 10 == 0) ? 1u : 2u);
  }
}

}  // namespace
