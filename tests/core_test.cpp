// The core alone: the number reader, the clips of every verse, the verse boxes, and the verse run
// against a stand-in sound service with a virtual clock.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/Platform.h"
#include "song/Module1.h"
#include "song/NumberText.h"
#include "window/Form1.h"

// This file is a test program of its own, so its stand-ins and tests need no namespace.

// The sound service: one sound at a time on a virtual clock, each written down in `played` as
// "name@ms", where name is the clip's file name, "silence" for a probe that played the silence
// clip, or "stop" for a cut; `sung` has the clips alone, without the times. The silence clip lasts
// 100 ms, the clip named `slow` 45 s, every other clip 500 ms. The platform layer over it is at
// the end of this file.
struct Sound {
  long long now = 0, ends = 0;  // ms
  bool stuck = false;           // always busy, never advancing
  std::string playing, played, sung, slow;
} sound;

// Form1 on stand-in controls. With `reraise`, every text the program writes raises the change
// handler again at once, as Win32 edit boxes do; without it, none does, as in the GTK front end.
struct Window : Form1Controls {
  std::string text[2] = {"1", "1"};
  bool timer = false, reraise = false;
  Form1 form{*this};
  explicit Window(bool nested = false) : reraise(nested) { form.Form_Load(); }  // opens
  std::string txtVersText(int index) override { return text[index]; }
  void SetTxtVersText(int index, const std::string& value) override {
    text[index] = value;
    if (reraise) form.txtVers_Change(index);
  }
  void SetTimer1Enabled(bool enabled) override { timer = enabled; }
};

TEST(NumberText, ReadsTheFormsABoxMayHold) {
  // A box's text, the number it reads as, and the verse number (rounded down).
  // clang-format off
  const struct { std::string text; std::optional<double> number;
                 std::optional<std::int16_t> verse; } rows[] = {
      {"12", 12, 12}, {" -3\t", -3, -3}, {"+4", 4, 4}, {"2,5", 2.5, 2}, {"-2.5", -2.5, -3},
      {",5", .5, 0}, {"7.", 7, 7}, {"007", 7, 7}, {"32767,9", 32767.9, 32767}, {"32768", 32768, {}},
      {"-32768", -32768, -32768}, {std::string(400, '9'), HUGE_VAL, {}}, {"", {}, {}},
      {"-", {}, {}}, {",", {}, {}}, {"abc", {}, {}}, {"1 2", {}, {}}, {"1,2.3", {}, {}},
      {"1e3", {}, {}}, {"--1", {}, {}}};
  // clang-format on
  for (const auto& row : rows) {
    EXPECT_EQ(ReadNumber(row.text), row.number) << "\"" << row.text << "\"";
    EXPECT_EQ(ReadVerseNumber(row.text), row.verse) << "\"" << row.text << "\"";
  }
}

// Every verse against the song's rules: the number's words, largest first, are clips the program
// ships and add up to the verse's number, with "og" after the hundreds when more words follow;
// then the noun, singular after a final one only. Other numbers sing nothing.
TEST(VerseClips, EveryVerseSingsItsNumberThenTheNoun) {
  // The words shipped: 1...20, the tens, the hundreds.
  const auto shipped = [](int w) { return w > 0 && (w <= 20 || w % (w < 100 ? 10 : 100) == 0); };
  for (int n = -3; n <= 1000; ++n) {
    const Module1::ClipNames clips = Module1::VerseClips(std::to_string(n));
    int sum = 0, last = 1000;
    std::string og, noun = clips.empty() ? "" : clips.back();
    for (std::size_t i = 0; i + 1 < clips.size(); ++i) {  // the clips before the noun
      const int word = clips[i] == "og.wav" ? -1 : std::stoi(clips[i]);  // -1 for "og"
      if (word == -1) og += std::to_string(sum) + " ";  // what was sung before "og"
      EXPECT_TRUE(word == -1 || (shipped(word) && word < last)) << n << ": " << clips[i];
      if (word != -1) sum += last = word;
    }
    const bool verse = n >= 1 && n <= 999;
    EXPECT_EQ(sum, verse ? n : 0);
    EXPECT_EQ(og, verse && n > 100 && n % 100 ? std::to_string(n / 100 * 100) + " " : "") << n;
    EXPECT_EQ(noun, !verse ? "" : (n % 100 == 1 ? "brumbe.wav" : "brumber.wav")) << n;
  }
}

TEST(VerseBoxes, KeepBothBoxesValidWithAndWithoutNestedChanges) {
  // The box typed into (0 the start box, 1 the end box) and its text after the user's change;
  // both boxes' texts afterwards. The start box held 7 before.
  // clang-format off
  const struct { int box; const char *typed, *start, *end; } rows[] = {
      {0, "", "1", "1"}, {1, "", "7", "1"}, {1, "1500", "7", "999"}, {0, "1000", "999", "999"},
      {0, "999", "999", "999"}, {1, "999.5", "7", "999"}, {0, "999,0", "999,0", "999,0"},
      {0, "-3", "-3", "-3"}, {1, "12", "7", "12"}, {0, "abc", "abc", "abc"}, {1, "-", "7", "-"}};
  // clang-format on
  for (const bool nested : {false, true})
    for (const auto& row : rows) {
      Window window(nested);
      window.text[0] = "7";
      window.text[row.box] = row.typed;
      window.form.txtVers_Change(row.box);
      EXPECT_EQ(window.text[0] + " " + window.text[1], std::string(row.start) + " " + row.end)
          << "typed \"" << row.typed << "\" into box " << row.box << (nested ? ", nested" : "");
    }
}

// Each test is a fresh window over a fresh sound service.
struct VerseRun : ::testing::Test, Window {
  void SetUp() override { sound = Sound(); }

  // Presses play with `start` and `end` in the boxes, if given, and lets the timer tick every
  // 100 ms of virtual time, as a window's timer does, a tick that ran long followed by the next at
  // once; until the run ends, or for `ms`.
  void Run(const char* start = nullptr, const char* end = nullptr, long long ms = 1000000) {
    if (start != nullptr) {
      text[0] = start;
      text[1] = end;
      form.cmdPlay_Click();
    }
    for (long long tick = sound.now, until = tick + ms; timer && tick < until; tick += 100) {
      sound.now = tick = std::max(sound.now, tick);
      form.Timer1_Timer();
    }
  }
};

// Verse 47 after verse 46: each clip waits for the one before it, with the silence clip between
// clips and twice before a verse: once in the tick, once in the verse's first clip. A clip of 45 s
// is waited out too; a sound service that has stopped advancing is given up, not waited for.
TEST_F(VerseRun, EachClipWaitsForTheOneBeforeButNotForAStuckService) {
  sound.slow = "40.wav";
  Run("46", "47");
  EXPECT_EQ(sound.played,
            "silence@0 silence@100 40.wav@200 silence@45200 6.wav@45300 silence@45800 "
            "brumber.wav@45900 silence@46400 silence@46500 40.wav@46600 silence@91600 "
            "7.wav@91700 silence@92200 brumber.wav@92300 ");
  EXPECT_FALSE(timer);
  sound.stuck = true;
  EXPECT_FALSE(Module1::PlayClip("/clips/7.wav"));
}

// An end below the start, an end that is no number, the last verse number there is, and no start,
// which starts nothing.
TEST_F(VerseRun, EndsAfterTheEndBoxsVerseButSingsOneAtLeast) {
  // clang-format off
  const char* rows[][3] = {{"5", "3", "5.wav brumber.wav "},  {"3", "tre", "3.wav brumber.wav "},
                           {"32767", "999", ""},              {"abc", "5", ""}};
  // clang-format on
  for (const auto& [start, end, clips] : rows) {
    SetUp();
    Run(start, end);
    EXPECT_EQ(sound.sung + (timer ? "and goes on" : ""), clips) << start << " to " << end;
  }
}

// Play pressed during a run starts it again from the start box once the clip playing has ended,
// and the end box is read after each verse.
TEST_F(VerseRun, DuringARunPlayStartsAgainAndAChangedEndCounts) {
  Run("5", "9", 300);  // verse 5's last clip plays
  Run("2", "3", 0);
  EXPECT_EQ(sound.playing, "brumber.wav") << "play cut the clip";
  Run(nullptr, nullptr, 1000);  // verse 2 is under way
  text[1] = "4";                // so the run goes on to 4
  Run();
  EXPECT_EQ(sound.sung, "5.wav brumber.wav 2.wav brumber.wav 3.wav brumber.wav 4.wav brumber.wav ");
}

TEST_F(VerseRun, StopCutsTheSoundAndEndsTheRun) {
  form.sndStop_Click();  // while idle: one silence clip, still idle
  Run("1", "5", 300);
  form.sndStop_Click();
  EXPECT_EQ(sound.played,
            "stop@0 silence@100 silence@200 1.wav@300 silence@800 brumbe.wav@900 stop@900 ");
  EXPECT_FALSE(timer);
}

// The platform layer over the stand-in sound service. The program's clips are in "/clips".
const char platform::kDirSeparator = '/';
std::string platform::ExecutableFolder() {
  return "/clips";
}

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  if (sound.stuck || ((flags & SND_NOSTOP) != 0 && sound.now < sound.ends)) return false;
  sound.playing = path.substr(path.rfind('/') + 1);
  const std::string name = flags == SND_ASYNC ? sound.playing : flags ? "silence" : "stop";
  sound.played += name + "@" + std::to_string(sound.now) + " ";
  if (flags == SND_ASYNC) sound.sung += name + " ";
  sound.ends = sound.now + (flags != SND_ASYNC ? 100 : name == sound.slow ? 45000 : 500);
  if (flags != SND_ASYNC) sound.now = sound.ends;  // the caller waits it out
  return true;
}

bool platform::PauseWhileBusy() {
  sound.now = std::max(sound.now, sound.ends);
  return !sound.stuck;
}
