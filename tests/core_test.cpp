// The core alone: the number reader, the clips of every verse, the verse boxes, and the verse run
// against a stand-in sound service with a virtual clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
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
  long long now = 0, ends = 0;                                     // ms
  std::map<std::string, long long> lengths{{"silence.wav", 100}};  // any other clip: 500 ms
  bool stuck = false;                                              // always busy, never advancing
  std::string playing, played;
} sound;

// Form1's controls. With `reraise`, every text the program writes raises the change handler
// again at once, as Win32 edit boxes do; without it, none does, as in FLTK.
struct Controls : Form1Controls {
  std::string text[2] = {"1", "1"};
  bool timer = false;
  Form1* reraise = nullptr;
  std::string txtVersText(int index) override { return text[index]; }
  void SetTxtVersText(int index, const std::string& value) override {
    text[index] = value;
    if (reraise != nullptr) reraise->txtVers_Change(index);
  }
  bool Timer1Enabled() override { return timer; }
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
  const std::string name = flags == SND_NOSTOP ? "silence"
                           : flags == SND_SYNC ? "stop"
                                               : sound.playing;
  sound.played += name + "@" + std::to_string(sound.now) + " ";
  const auto length = sound.lengths.find(sound.playing);
  sound.ends = sound.now + (length != sound.lengths.end() ? length->second : 500);
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
  const struct {
    std::string text;
    std::optional<double> number;
    std::optional<std::int16_t> verse;  // rounded down, if it fits
  } rows[] = {
      {"12", 12, 12},       {" -3\t", -3, -3},  {"+4", 4, 4},        {"2,5", 2.5, 2},
      {"-2.5", -2.5, -3},   {",5", .5, 0},      {"7.", 7, 7},        {"007", 7, 7},
      {"32767,9", 32767.9, 32767},              {"32768", 32768, {}},
      {"-32768", -32768, -32768},               {std::string(400, '9'), HUGE_VAL, {}},
      {"", {}, {}},         {"-", {}, {}},      {",", {}, {}},       {"abc", {}, {}},
      {"1 2", {}, {}},      {"1,2.3", {}, {}},  {"1e3", {}, {}},     {"--1", {}, {}},
      {"inf", {}, {}}};
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

TEST(VerseClips, SingsEachKindOfVerse) {
  // clang-format off
  const char* rows[][2] = {
      {"1", "1.wav brumbe.wav "},                     {"20", "20.wav brumber.wav "},
      {"21", "20.wav 1.wav brumber.wav "},            {"40", "40.wav brumber.wav "},
      {"100", "100.wav brumber.wav "},                {"101", "100.wav og.wav 1.wav brumbe.wav "},
      {"110", "100.wav og.wav 10.wav brumber.wav "},  {"007", "7.wav brumber.wav "},
      {"347", "300.wav og.wav 40.wav 7.wav brumber.wav "},
      {"0", ""}, {"-3", ""}, {"1000", ""}, {"abc", ""}};
  // clang-format on
  for (const auto& row : rows) EXPECT_EQ(Clips(row[0]), row[1]);
}

// Every verse against the song's rules: the number's words, largest first, are clips the program
// ships and add up to the verse's number; the noun is singular after a final one only.
TEST(VerseClips, EveryVerseSingsItsNumberThenTheNoun) {
  std::set<int> words;
  for (int i = 1; i <= 20; ++i) words.insert(i);
  for (int i = 1; i <= 9; ++i) words.insert({i * 10, i * 100});
  for (int n = 1; n <= 999; ++n) {
    std::istringstream clips(Clips(std::to_string(n)));
    int sum = 0, last = 1000;
    std::string clip;
    while (clips >> clip && clip.find("brumbe") == std::string::npos) {
      if (clip == "og.wav") continue;
      EXPECT_TRUE(words.count(std::stoi(clip)) && std::stoi(clip) < last) << n << ": " << clip;
      sum += last = std::stoi(clip);
    }
    EXPECT_EQ(sum, n);
    EXPECT_EQ(clip, n % 100 == 1 ? "brumbe.wav" : "brumber.wav") << n;
  }
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
  for (const auto& [label, button, size] : rows) {
    EXPECT_EQ(Form1Layout::CaptionSize(
                  12, 9, [&](const Form1Layout::Caption& c) { return c.button ? button : label; },
                  [](const char* text, int size) { return int(std::strlen(text)) * size / 2; }),
              size)
        << "labels " << label << " px, buttons " << button << " px";
  }
}

class VerseRun : public ::testing::Test {
 protected:
  void SetUp() override {
    sound = Sound();
    form.Form_Load();
  }

  void Play(const char* start, const char* end) {
    controls.text[0] = start;
    controls.text[1] = end;
    form.cmdPlay_Click();
  }

  // The timer ticks every 100 ms of virtual time, as a window's timer does: a tick that ran long
  // is followed by the next one at once. Stops when the run ends or after `ms`.
  void Run(long long ms = 1000000) {
    const long long until = sound.now + ms;
    for (long long tick = sound.now; controls.timer && tick < until; tick += 100) {
      sound.now = tick = std::max(sound.now, tick);
      form.Timer1_Timer();
    }
  }

  // The clips that were started, in order.
  static std::string Clips() {
    std::string clips;
    std::istringstream played(sound.played);
    for (std::string s; played >> s;)
      if (s.find(".wav") != std::string::npos) clips += s.substr(0, s.find('@')) + " ";
    return clips;
  }

  Controls controls;
  Form1 form{controls};
};

// Each clip waits for the one before it, with the silence clip between clips and twice before a
// verse: once in the tick, once in the verse's first clip. A clip of 45 s is waited out too.
TEST_F(VerseRun, Verse47AfterVerse46) {
  sound.lengths["40.wav"] = 45000;
  Play("46", "47");
  Run();
  EXPECT_EQ(sound.played,
            "silence@0 silence@100 40.wav@200 silence@45200 6.wav@45300 silence@45800 "
            "brumber.wav@45900 silence@46400 silence@46500 40.wav@46600 silence@91600 "
            "7.wav@91700 silence@92200 brumber.wav@92300 ");
  EXPECT_FALSE(controls.timer);
}

TEST_F(VerseRun, SingsFromTheStartBoxToTheEndBox) {
  const char* rows[][3] = {
      {"3", "5", "3.wav brumber.wav 4.wav brumber.wav 5.wav brumber.wav "},
      {"5", "3", "5.wav brumber.wav "},                       // an end below the start: one verse
      {"1,5", "2,9", "1.wav brumbe.wav 2.wav brumber.wav "},  // rounded down
      {"-1", "1", "1.wav brumbe.wav "},    // -1 and 0 have no words, but take their turn
      {"3", "tre", "3.wav brumber.wav "},  // an end that is no number ends the run
      {"32767", "999", ""},                // the last verse number: no overflow
      {"abc", "5", ""},                    // no verse number: nothing starts
      {"32768", "5", ""}};
  for (const auto& row : rows) {
    SetUp();
    Play(row[0], row[1]);
    Run();
    EXPECT_EQ(Clips(), row[2]) << row[0] << " to " << row[1];
    EXPECT_FALSE(controls.timer) << row[0] << " to " << row[1];
  }
}

TEST_F(VerseRun, PlayDuringARunStartsAgainOnceTheClipHasEnded) {
  Play("5", "9");
  Run(300);  // verse 5's last clip plays
  Play("2", "3");
  EXPECT_EQ(sound.playing, "brumber.wav") << "play cut the clip";
  Run();
  EXPECT_EQ(Clips(), "5.wav brumber.wav 2.wav brumber.wav 3.wav brumber.wav ");
}

TEST_F(VerseRun, TheEndBoxIsReadAfterEachVerse) {
  Play("1", "2");
  Run(300);                // verse 1 is under way
  controls.text[1] = "4";  // the run goes on to 4
  Run();
  EXPECT_EQ(Module1::CurrentVerse, 5);
}

TEST_F(VerseRun, StopAndCloseCutTheSound) {
  form.sndStop_Click();  // while idle: one silence clip, still idle
  EXPECT_EQ(sound.played, "stop@0 ");
  for (const bool close : {false, true}) {
    Play("1", "5");
    Run(300);
    ASSERT_EQ(sound.playing, "brumbe.wav");
    int cancel = 0;
    close ? form.Form_Unload(cancel) : form.sndStop_Click();
    EXPECT_EQ(sound.playing, "silence.wav") << (close ? "close" : "stop");
    EXPECT_EQ(sound.now, sound.ends) << "returned before the silence clip ended";
    EXPECT_FALSE(controls.timer && !close) << "stop left the run going";
  }
}

TEST_F(VerseRun, AStuckSoundServiceIsGivenUp) {
  sound.stuck = true;
  EXPECT_FALSE(Module1::PlayClip("/clips/7.wav"));
}

}  // namespace
