// The real Linux sound call, over SDL's dummy driver: no card needed, but samples are still
// consumed at the real rate, so lengths and cuts can be checked with a clock. Bounds are loose:
// they tell a sound that played from one that did not, not milliseconds.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/Platform.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kClips = BRUMBESANG_CLIPS_DIR "/";
const std::string kSilence = kClips + "silence.wav";  // 100 ms
const std::string kLong = kClips + "400.wav";         // about 0.9 s

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Waits (briefly sleeping) until nothing plays, as the program's own probe would.
void WaitUntilQuiet() {
  while (!platform::sndPlaySound(kSilence, SND_NOSTOP)) platform::PauseBriefly();
}

TEST(SoundSdl, AProbeWhileIdlePlaysTheSilenceToItsEnd) {
  WaitUntilQuiet();
  const auto start = Clock::now();
  EXPECT_TRUE(platform::sndPlaySound(kSilence, SND_NOSTOP));
  const long long took = MsSince(start);
  EXPECT_GE(took, 90) << "the silence clip is 100 ms";
  EXPECT_LT(took, 1000);
}

TEST(SoundSdl, AProbeWhileAClipPlaysIsBusyAtOnceAndLeavesIt) {
  WaitUntilQuiet();
  const auto start = Clock::now();
  ASSERT_TRUE(platform::sndPlaySound(kLong, SND_ASYNC));
  EXPECT_LT(MsSince(start), 200) << "an asynchronous start waited for the clip";
  EXPECT_FALSE(platform::sndPlaySound(kSilence, SND_NOSTOP));
  EXPECT_LT(MsSince(start), 200) << "a busy probe waited";
  WaitUntilQuiet();  // the clip was left alone: it plays its whole length
  EXPECT_GE(MsSince(start), 800);
}

TEST(SoundSdl, ASynchronousPlayCutsAnAsynchronousOne) {
  WaitUntilQuiet();
  const auto start = Clock::now();
  ASSERT_TRUE(platform::sndPlaySound(kLong, SND_ASYNC));
  platform::sndPlaySound(kSilence, SND_SYNC);
  EXPECT_LT(MsSince(start), 600) << "the long clip was not cut";
  EXPECT_TRUE(platform::sndPlaySound(kSilence, SND_NOSTOP)) << "something still plays";
}

TEST(SoundSdl, AFileThatCannotBePlayedPlaysTheStandIn) {
  for (const std::string& path : {kClips + "no-such-clip.wav", std::string(BRUMBESANG_CLIPS_DIR)}) {
    WaitUntilQuiet();
    const auto start = Clock::now();
    EXPECT_TRUE(platform::sndPlaySound(path, SND_SYNC)) << path;
    EXPECT_GE(MsSince(start), 100) << path << ": no stand-in sound played";
  }
}

}  // namespace
