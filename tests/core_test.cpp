// The core alone: the number reader, the clips of every verse, the verse boxes, the captions' size,
// and the verse run against a stand-in sound service with a virtual clock.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "platform/Platform.h"
#include "song/Module1.h"
#include "song/NumberText.h"
#include "window/Form1.h"

namespace {

// The sound service: one sound at a time on a virtual clock, each written down as "name@ms",
// where name is the clip's file name, "silence" for a probe that played the silence clip, or
// "stop" for a cut.
struct Sound {
  long long now = 0, ends = 0;                                                // ms
  std::map<std::string, long long> lengths{{"silence", 100}, {"stop", 100}};  // others: 500 ms
  bool stuck = false;  // always busy, never advancing
  std::string playing, played;
} sound;

// Form1's controls. With `reraise`, every text the program writes raises the change handler
// again at once, as Win32 edit boxes do; without it, none does, as in the GTK front end.
struct Controls : Form1Controls {
  std::string text[2] = {"1", "1"};
  bool timer = false;
  Form1* reraise = nullptr;
  std::string txtVersText(int index) override { return text[index]; }
  void SetTxtVersText(int index, const std::string& value) override {
    text[index] = value;
    if (reraise != nullptr) reraise->txtVers_Change(index);
  }
  void SetTimer1Enabled(bool enabled) override { timer = enabled; }
};

}  // namespace

const char platform::kDirSeparator = '/';
std::string platform::ExecutableFolder() {
  return "/clips";
}

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  if (sound.stuck || ((flags & SND_NOSTOP) != 0 && sound.now < sound.ends)) return false;
  sound.playing = path.substr(path.rfind('/') + 1);
  const std::string name = flags == SND_ASYNC ? sound.playing : flags ? "silence" : "stop";
  sound.played += name + "@" + std::to_string(sound.now) + " ";
  sound.ends = sound.now + (sound.lengths.count(name) ? sound.lengths[name] : 500);
  if ((flags & SND_ASYNC) == 0) sound.now = sound.ends;  // the caller waits it out
  return true;
}

bool platform::PauseWhileBusy() {
  sound.now = std::max(sound.now, sound.ends);
  return !sound.stuck;
}

namespace {

TEST(NumberText, ReadsTheFormsABoxMayHold) {
  // clang-format off
  const struct {  // a box's text, the number it reads as, and the verse number (rounded down)
    std::string text; std::optional<double> number; std::optional<std::int16_t> verse;
  } rows[] = {
      {"12", 12, 12},       {" -3\t", -3, -3},  {"+4", 4, 4},        {"2,5", 2.5, 2},
      {"-2.5", -2.5, -3},   {",5", .5, 0},      {"7.", 7, 7},        {"007", 7, 7},
      {"32767,9", 32767.9, 32767},              {"32768", 32768, {}},
      {"-32768", -32768, -32768},               {std::string(400, '9'), HUGE_VAL, {}},
      {"", {}, {}},         {"-", {}, {}},      {",", {}, {}},       {"abc", {}, {}},
      {"1 2", {}, {}},      {"1,2.3", {}, {}},  {"1e3", {}, {}},     {"--1", {}, {}}};
  // clang-format on
  for (const auto& row : rows) {
    EXPECT_EQ(ReadNumber(row.text), row.number) << "\"" << row.text << "\"";
    EXPECT_EQ(ReadVerseNumber(row.text), row.verse) << "\"" << row.text << "\"";
  }
}

std::string Clips(const std::string& verse) {
  std::string clips;
  for (const std::string& clip : Module1::VerseClips(verse)) clips += clip + " ";
  return clips;
}

// Every verse against the song's rules: the number's words, largest first, are clips the program
// ships and add up to the verse's number, with "og" after the hundreds when more words follow;
// then the noun, singular after a final one only. Other numbers, and no number, sing nothing.
TEST(VerseClips, EveryVerseSingsItsNumberThenTheNoun) {
  std::set<int> words;
  for (int i = 1; i <= 20; ++i) words.insert(i);
  for (int i = 1; i <= 9; ++i) words.insert({i * 10, i * 100});
  for (int n = -3; n <= 1000; ++n) {
    std::istringstream clips(Clips(std::to_string(n)));
    int sum = 0, last = 1000;
    std::string clip, og;
    while (clips >> clip && clip.find("brumbe") == std::string::npos) {
      if (clip == "og.wav") {
        og += std::to_string(sum) + " ";  // what was sung before it
      } else {
        EXPECT_TRUE(words.count(std::stoi(clip)) && std::stoi(clip) < last) << n << ": " << clip;
        sum += last = std::stoi(clip);
      }
    }
    const bool verse = n >= 1 && n <= 999;
    EXPECT_EQ(sum, verse ? n : 0);
    EXPECT_EQ(og, verse && n > 100 && n % 100 ? std::to_string(n / 100 * 100) + " " : "") << n;
    EXPECT_EQ(clip, !verse ? "" : n % 100 == 1 ? "brumbe.wav" : "brumber.wav") << n;
  }
  EXPECT_EQ(Clips("007") + "|" + Clips("abc"), "7.wav brumber.wav |");
}

TEST(VerseBoxes, KeepBothBoxesValidWithAndWithoutNestedChanges) {
  // clang-format off
  const struct {
    int box;                          // typed into: 0 the start box, 1 the end box
    const char *typed, *start, *end;  // its text after the user's change; both boxes afterwards
  } rows[] = {
      {0, "", "1", "1"},          {1, "", "7", "1"},         {1, "1500", "7", "999"},
      {0, "1000", "999", "999"},  {0, "999", "999", "999"},  {1, "999.5", "7", "999"},
      {0, "999,0", "999,0", "999,0"},                        {0, "-3", "-3", "-3"},
      {1, "12", "7", "12"},       {0, "abc", "abc", "abc"},  {1, "-", "7", "-"}};
  // clang-format on
  for (const bool nested : {false, true}) {
    for (const auto& row : rows) {
      Controls controls;
      Form1 form(controls);
      controls.text[0] = "7";
      controls.text[row.box] = row.typed;
      if (nested) controls.reraise = &form;
      form.txtVers_Change(row.box);
      EXPECT_EQ(controls.text[0] + " " + controls.text[1], std::string(row.start) + " " + row.end)
          << "typed \"" << row.typed << "\" into box " << row.box << (nested ? ", nested" : "");
    }
  }
}

// The captions' size in a stand-in font in which each byte of a text is half the size wide: the
// longest label, "Avslutte på vers nr.:", is 11 px wide per size, "Spill vers!" half that.
TEST(CaptionSize, TheLargestAtWhichEveryCaptionFitsButNotBelowTheFloor) {
  const int rows[][3] = {// room for each label, for each button, the size chosen of 12 down to 9
                         {200, 200, 12}, {132, 66, 12}, {131, 66, 11}, {120, 200, 10},
                         {200, 59, 10},  {99, 200, 9},  {50, 20, 9}};
  const auto width = [](const char* text, int size) { return int(strlen(text)) * size / 2; };
  for (const auto& [label, button, size] : rows) {
    const auto room = [&](const Form1Layout::Caption& c) { return c.button ? button : label; };
    EXPECT_EQ(Form1Layout::CaptionSize(12, 9, room, width), size) << label << " and " << button;
  }
}

class VerseRun : public ::testing::Test {
 protected:
  void SetUp() override {
    sound = Sound();
    form.Form_Load();
  }

  // Presses play with `start` and `end` in the boxes, if given, and lets the timer tick every
  // 100 ms of virtual time, as a window's timer does, a tick that ran long followed by the next at
  // once; until the run ends, or for `ms`.
  void Run(const char* start = nullptr, const char* end = nullptr, long long ms = 1000000) {
    if (start != nullptr) {
      controls.text[0] = start;
      controls.text[1] = end;
      form.cmdPlay_Click();
    }
    for (long long tick = sound.now, until = sound.now + ms; controls.timer && tick < until;
         tick += 100) {
      sound.now = tick = std::max(sound.now, tick);
      form.Timer1_Timer();
    }
  }

  // The clips that were started, in order, without the silence clips, the stops and the times.
  static std::string Clips() {
    return std::regex_replace(sound.played, std::regex("(silence|stop)@\\d+ |@\\d+"), "");
  }

  Controls controls;
  Form1 form{controls};
};

// Each clip waits for the one before it, with the silence clip between clips and twice before a
// verse: once in the tick, once in the verse's first clip. A clip of 45 s is waited out too.
TEST_F(VerseRun, Verse47AfterVerse46) {
  sound.lengths["40.wav"] = 45000;
  Run("46", "47");
  EXPECT_EQ(sound.played,
            "silence@0 silence@100 40.wav@200 silence@45200 6.wav@45300 silence@45800 "
            "brumber.wav@45900 silence@46400 silence@46500 40.wav@46600 silence@91600 "
            "7.wav@91700 silence@92200 brumber.wav@92300 ");
  EXPECT_FALSE(controls.timer);
}

TEST_F(VerseRun, EndsAfterTheEndBoxsVerseButSingsOneAtLeast) {
  const char* rows[][3] = {{"5", "3", "5.wav brumber.wav "},    // an end below the start
                           {"3", "tre", "3.wav brumber.wav "},  // an end that is no number
                           {"32767", "999", ""},                // the last verse number there is
                           {"abc", "5", ""}};                   // no start: nothing starts
  for (const auto& [start, end, clips] : rows) {
    SetUp();
    Run(start, end);
    EXPECT_EQ(Clips() + (controls.timer ? "and goes on" : ""), clips) << start << " to " << end;
  }
}

// Play pressed during a run starts it again from the start box once the clip playing has ended,
// and the end box is read after each verse.
TEST_F(VerseRun, DuringARunPlayStartsAgainAndAChangedEndCounts) {
  Run("5", "9", 300);  // verse 5's last clip plays
  Run("2", "3", 0);
  EXPECT_EQ(sound.playing, "brumber.wav") << "play cut the clip";
  Run(nullptr, nullptr, 1000);  // verse 2 is under way
  controls.text[1] = "4";       // so the run goes on to 4
  Run();
  EXPECT_EQ(Clips(), "5.wav brumber.wav 2.wav brumber.wav 3.wav brumber.wav 4.wav brumber.wav ");
}

TEST_F(VerseRun, StopCutsTheSoundAndEndsTheRun) {
  form.sndStop_Click();  // while idle: one silence clip, still idle
  Run("1", "5", 300);
  ASSERT_EQ(sound.playing, "brumbe.wav");
  form.sndStop_Click();
  EXPECT_EQ(sound.played,
            "stop@0 silence@100 silence@200 1.wav@300 silence@800 brumbe.wav@900 stop@900 ");
  EXPECT_EQ(sound.now, sound.ends) << "stop returned before the silence clip ended";
  EXPECT_FALSE(controls.timer);
}

TEST_F(VerseRun, AStuckSoundServiceIsGivenUp) {
  sound.stuck = true;
  EXPECT_FALSE(Module1::PlayClip("/clips/7.wav"));
}

}  // namespace
