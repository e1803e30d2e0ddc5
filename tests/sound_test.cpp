// The real Linux sound call: what files play as; sounds played through a real sound server
// (tools/sandbox.sh starts one) and recorded from it; and, with no sound server to reach, SDL's
// silent stand-in device.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "../tools/capture.h"
#include "platform/Platform.h"
#include "platform/sound_sdl.h"
#include "song/Module1.h"

namespace {

using std::chrono::milliseconds;
const std::string kDir = testing::TempDir(), kClips = BRUMBESANG_CLIPS_DIR "/";
const std::string kSilence = kClips + "silence.wav";
// Whether the program's stream keeps 20 ms of sound or more on the server, against load.
const char kBuffered[] =
    "pactl list sink-inputs | grep -E 'Buffer Latency: ([2-9]....|.{6,}) usec'";
// Records what the sandbox's sound server plays, as 16-bit mono samples at 48 kHz, into a file.
const std::string kRecord =
    "parec -d capture.monitor --raw --format=s16le --rate=48000 --channels=1 --latency-msec=10 > ";

// A WAV file (format 1: integers, 3: floats) of `ms` at one level that is not zero.
std::string Wav(int format, int bits, int channels, int rate, int ms) {
  const auto le = [](unsigned value, int n) { return std::string((char*)&value, n); };
  const unsigned frame = bits / 8 * channels, size = rate * ms / 1000 * frame;
  return "RIFF" + le(36 + size, 4) + "WAVEfmt " + le(16, 4) + le(format, 2) + le(channels, 2) +
         le(rate, 4) + le(rate * frame, 4) + le(frame, 2) + le(bits, 2) + "data" + le(size, 4) +
         std::string(size, '\x40');
}

std::string File(const std::string& name, const std::string& content) {
  std::ofstream(kDir + name, std::ios::binary) << content;
  return kDir + name;
}

double Ms(const std::string& path) {
  return platform::ClipSamples(path).size() * 1000.0 / platform::kRate;
}

TEST(ClipSamples, AFileThatCannotBePlayedPlaysTheStandInTone) {
  std::string rate = Wav(1, 16, 1, 22050, 100);
  const std::pair<std::string, double> rows[] = {
      // the file, and how long it plays (ms)
      {kDir + "missing.wav", 150},
      {File("text.wav", "Dette er ingen lyd."), 150},
      {File("header.wav", Wav(1, 16, 1, 22050, 100).substr(0, 30)), 150},
      {File("rate.wav", rate.replace(24, 4, "\xff\xff\xff\x7f")), 150},  // 2^31 - 1 Hz
      {File("none.wav", Wav(1, 16, 1, 22050, 0)), 150},
      {File("data.wav", Wav(1, 16, 1, 22050, 400).substr(0, 44 + 8820)), 200},  // cut short
      {File("float.wav", Wav(3, 32, 2, 48000, 100)), 100}};                     // floats, stereo
  for (const auto& [path, ms] : rows) EXPECT_NEAR(Ms(path), ms, 0.1) << path;
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  EXPECT_LT(usage.ru_maxrss, 100 << 10)
      << "kB: a header's sample rate was taken for how much to allocate";
}

// Verses as a verse run sings them, with a processor core kept busy beside them, then a clip cut
// by a stop; all recorded from the sandbox's sound server.
TEST(SoundServer, ClipsWholeWithExactPausesAndNoHolesThenAStopCuts) {
  const std::string played = kDir + "played.raw";
  ASSERT_EQ(std::system((kRecord + played + " & echo $! > " + played + ".pid").c_str()), 0);
  for (int i = 0; i < 500 && std::ifstream(played, std::ios::ate).tellg() <= 0; ++i)
    std::this_thread::sleep_for(milliseconds(10));  // until it records
  std::atomic<bool> busy{true};
  std::thread core([&] {
    while (busy) continue;
  });
  Module1::SoundDir = kClips;
  std::vector<double> lengths;
  for (int verse = 45; verse <= 47; ++verse) {
    while (Module1::SoundIsBusy()) platform::PauseWhileBusy();
    Module1::SingVerse(std::to_string(verse));
    for (const std::string& clip : Module1::VerseClips(std::to_string(verse)))
      lengths.push_back(Ms(kClips + clip));
  }
  busy = false;
  core.join();
  EXPECT_FALSE(platform::sndPlaySound(kSilence, SND_NOSTOP)) << "not busy while a clip plays";
  while (!platform::sndPlaySound(kSilence, SND_NOSTOP)) platform::PauseWhileBusy();
  ASSERT_TRUE(platform::sndPlaySound(File("long.wav", Wav(1, 16, 1, 22050, 1000)), SND_ASYNC));
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_EQ(std::system(kBuffered), 0) << "the program keeps under 20 ms of sound on the server";
  platform::sndPlaySound(kSilence, SND_SYNC);
  std::this_thread::sleep_for(milliseconds(1000));  // for the sound server to play it all
  EXPECT_EQ(std::system(("kill $(cat " + played + ".pid)").c_str()), 0);
  const std::vector<capture::Sound> sounds = capture::Sounds(played, 60);
  ASSERT_EQ(sounds.size(), 10u);  // three clips a verse, and the clip cut
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_NEAR(sounds[i].lengthMs, lengths[i], 1) << "clip " << i;
    EXPECT_EQ(sounds[i].holes, 0) << "clip " << i;
    // One silence clip between two clips of a verse, and two between verses.
    EXPECT_NEAR(sounds[i].pauseMs, i == 0 ? 0 : i % 3 == 0 ? 200 : 100, 3) << "before clip " << i;
  }
  EXPECT_LT(sounds[9].lengthMs, 800) << "the stop did not cut the clip";
}

// With no sound server and no card, sounds keep their length on SDL's silent device.
TEST(NoDevice, SoundsStillTakeTheirTime) {
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(platform::sndPlaySound(File("clip.wav", Wav(1, 16, 1, 22050, 500)), SND_ASYNC));
  while (!platform::sndPlaySound(kSilence, SND_NOSTOP)) ASSERT_TRUE(platform::PauseWhileBusy());
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, milliseconds(400));
  EXPECT_LT(took, milliseconds(10000));
}

}  // namespace
