// The clip player and Form1's verse run, driven through fake controls and the fake sound service
// with its virtual clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_controls.h"
#include "fake_platform.h"
#include "platform/Platform.h"
#include "song/Module1.h"
#include "window/Form1.h"

namespace {

using Strings = std::vector<std::string>;

class VerseRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    Module1::CurrentVerse = 0;
    form.Form_Load();
  }

  // Lets the timer tick every 100 ms of virtual time, as a window's timer does: a tick that ran
  // long is followed by the next one at once. Stops when the run ends or after `ms`.
  void Run(long long ms = 600000) {
    fake::Sound& sound = fake::Service();
    const long long until = sound.now + ms;
    long long tick = sound.now;
    while (controls.timer && tick < until) {
      sound.now = std::max(sound.now, tick);
      tick = sound.now + 100;
      form.Timer1_Timer();
    }
  }

  // The clips that were started, in order, without silences and stops.
  static Strings Clips() {
    Strings clips;
    for (const std::string& s : fake::Service().Played())
      if (s != "silence" && s != "stop") clips.push_back(s);
    return clips;
  }

  FakeControls controls;
  Form1 form{controls};
};

// One verse after another, each clip waiting for the one before it, with the silence clip
// between clips and twice before a verse: once in the tick, once in the verse's first clip.
TEST_F(VerseRun, Verse47AfterVerse46FollowsTheTimeline) {
  controls.text[0] = "46";
  controls.text[1] = "47";
  form.cmdPlay_Click();
  Run();
  const Strings want = {
      "silence", "silence", "40.wav", "silence", "6.wav", "silence", "brumber.wav",   // verse 46
      "silence", "silence", "40.wav", "silence", "7.wav", "silence", "brumber.wav"};  // verse 47
  EXPECT_EQ(fake::Service().Played(), want);
  EXPECT_FALSE(controls.timer);

  // Each clip starts right after the silence that follows the clip before it has ended.
  const auto& calls = fake::Service().calls;
  long long ends = 0;
  for (const fake::Call& call : calls) {
    if (call.flags == SND_ASYNC) {
      EXPECT_EQ(call.at, ends) << call.clip << " started at " << call.at << " ms";
      ends = call.at + fake::Service().Length(call.clip);
    } else if (call.flags == SND_NOSTOP && call.result) {
      EXPECT_GE(call.at, ends) << "silence probe played over " << call.clip;
      ends = call.at + 100;
    }
  }
}

TEST_F(VerseRun, SingsFromStartToEnd) {
  const struct {
    const char* start;
    const char* end;
    Strings clips;
  } rows[] = {
      {"3", "5", {"3.wav", "brumber.wav", "4.wav", "brumber.wav", "5.wav", "brumber.wav"}},
      {"5", "3", {"5.wav", "brumber.wav"}},  // an end below the start: one verse
      {"7", "7", {"7.wav", "brumber.wav"}},
      {"1,5", "2,9", {"1.wav", "brumbe.wav", "2.wav", "brumber.wav"}},  // rounded down
      {"-1", "1", {"1.wav", "brumbe.wav"}},    // -1 and 0 have no words, but take their turn
      {"3", "tre", {"3.wav", "brumber.wav"}},  // an end that is no number ends the run
  };
  for (const auto& row : rows) {
    SetUp();
    controls.text[0] = row.start;
    controls.text[1] = row.end;
    form.cmdPlay_Click();
    Run();
    EXPECT_EQ(Clips(), row.clips) << "start " << row.start << ", end " << row.end;
    EXPECT_FALSE(controls.timer) << "start " << row.start << ", end " << row.end;
  }
}

TEST_F(VerseRun, PlayStartsNothingWhenTheStartBoxIsNoVerseNumber) {
  for (const char* start : {"", "abc", "-", ",", "32768", "-32769", "1e2"}) {
    SetUp();
    controls.text[0] = start;
    form.cmdPlay_Click();
    EXPECT_FALSE(controls.timer) << "start \"" << start << "\"";
    EXPECT_TRUE(fake::Service().calls.empty()) << "start \"" << start << "\"";
  }
}

TEST_F(VerseRun, TheLastVerseNumberEndsTheRunWithoutOverflow) {
  controls.text[0] = "32767";
  controls.text[1] = "40000";
  form.cmdPlay_Click();
  Run();
  EXPECT_FALSE(controls.timer);
  EXPECT_EQ(Module1::CurrentVerse, 32767);
}

TEST_F(VerseRun, PlayDuringARunStartsAgainFromTheStartBox) {
  controls.text[0] = "5";
  controls.text[1] = "9";
  form.cmdPlay_Click();
  Run(2000);  // into verse 6 or 7
  ASSERT_TRUE(controls.timer);
  const std::string playing = fake::Service().playing;
  controls.text[0] = "2";
  controls.text[1] = "3";
  form.cmdPlay_Click();
  EXPECT_EQ(fake::Service().playing, playing) << "play cut the clip that was playing";
  const std::size_t before = Clips().size();
  Run();
  const Strings clips = Clips();
  const Strings after(clips.begin() + before, clips.end());
  EXPECT_EQ(after, (Strings{"2.wav", "brumber.wav", "3.wav", "brumber.wav"}));
}

TEST_F(VerseRun, TheEndBoxIsReadAfterEveryVerse) {
  controls.text[0] = "1";
  controls.text[1] = "2";
  form.cmdPlay_Click();
  Run(300);                // verse 1 is under way
  controls.text[1] = "4";  // raised: the run goes on to 4
  Run();
  EXPECT_EQ(Module1::CurrentVerse, 5);

  SetUp();
  controls.text[0] = "1";
  controls.text[1] = "9";
  form.cmdPlay_Click();
  Run(300);                // verse 1's tick has read the end box already; its last clip plays
  controls.text[1] = "1";  // lowered below the next verse: the run ends after that verse
  Run();
  EXPECT_EQ(Clips(), (Strings{"1.wav", "brumbe.wav", "2.wav", "brumber.wav"}));
}

TEST_F(VerseRun, StopCutsTheSoundAndEndsTheRun) {
  form.sndStop_Click();  // while idle: one silence, still idle
  EXPECT_EQ(fake::Service().Played(), Strings{"stop"});
  EXPECT_EQ(fake::Service().playing, "silence.wav");
  EXPECT_FALSE(controls.timer);

  controls.text[1] = "5";
  form.cmdPlay_Click();
  Run(300);
  ASSERT_TRUE(fake::Service().Busy());
  form.sndStop_Click();
  EXPECT_EQ(fake::Service().playing, "silence.wav") << "stop left the clip playing";
  EXPECT_FALSE(fake::Service().Busy()) << "stop returned before the silence ended";
  EXPECT_FALSE(controls.timer);
}

TEST_F(VerseRun, ClosingTheWindowCutsTheSound) {
  controls.text[1] = "5";
  form.cmdPlay_Click();
  Run(300);
  int cancel = 0;
  form.Form_Unload(cancel);
  EXPECT_EQ(cancel, 0);
  EXPECT_EQ(fake::Service().Played().back(), "stop");
  EXPECT_FALSE(fake::Service().Busy());
}

TEST_F(VerseRun, ThePlayerWaitsWithoutSpinning) {
  fake::Service().lengths["long.wav"] = 2000;
  Module1::PlayClip(fake::kDir + "long.wav");
  const std::size_t before = fake::Service().calls.size();
  Module1::PlayClip(fake::kDir + "7.wav");
  // One probe per millisecond of the 2 s clip, give or take: a pause between probes.
  const std::size_t probes = fake::Service().calls.size() - before;
  EXPECT_GE(probes, 1900u);
  EXPECT_LE(probes, 2100u);
}

TEST_F(VerseRun, AStuckSoundServiceIsGivenUpAfterThirtySeconds) {
  fake::Service().stuck = true;
  EXPECT_FALSE(Module1::PlayClip(fake::kDir + "7.wav"));
  EXPECT_GE(fake::Service().now, Module1::kMaxWaitMs);
  EXPECT_LE(fake::Service().now, Module1::kMaxWaitMs + 10);
}

}  // namespace
