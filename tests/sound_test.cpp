// The real Linux sound call: what files play as; sounds played through a real sound server
// (tools/sandbox.sh starts one) and recorded from it, also while the server hangs, is killed and
// started again, or wakes its sink from suspend.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include "../tools/capture.h"
#include "platform/Platform.h"
#include "platform/clip_file.h"
#include "song/Module1.h"

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;
const std::string kDir = testing::TempDir(), kClips = BRUMBESANG_CLIPS_DIR "/";
const std::string kSilence = kClips + "silence.wav";
// Whether the program's stream keeps enough sound on the server against load: PulseAudio tells a
// stream's Buffer Latency (us; 20 ms or more); PipeWire's PulseAudio service says 0 there and tells
// the node.latency it keeps the stream at (frames/rate; 50 ms or more: at 26 ms it ran dry when
// busy).
const char kBuffered[] =
    "pactl list sink-inputs | awk -F'[ \"/]+' '/Buffer Latency:/ && $3 >= 20000 || "
    "/node.latency =/ && $3 * 20 >= $4 { ok = 1 } END { exit !ok }'";

const auto Sh = [](const std::string& command) { return std::system(command.c_str()) == 0; };
const auto Sleep = [](int ms) { std::this_thread::sleep_for(milliseconds(ms)); };

// A WAV file (format 1: integers, 3: floats) of `ms` at one level that is not zero: every byte
// 0x40, which makes 16-bit samples of 257 * 0x40.
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

// Waits, 10 s at most, until the sound server lists a stream of process `pid` among its `streams`
// (sink-inputs, source-outputs), or, with `gone`, no longer does. False if it never does.
bool Listed(const std::string& streams, const std::string& pid, bool gone = false) {
  return Sh("for i in $(seq 100); do pactl list " + streams + " | grep -q 'process.id = \"" + pid +
            "\"' " + (gone ? "||" : "&&") + " exit 0; sleep 0.1; done; exit 1");
}

// Records what the sandbox's sound server plays from now on, as 16-bit mono samples at 48 kHz,
// into the file at `path`: from when the recorder's stream is on the server, whose sink, just
// made, sends it data only two seconds later. The function returned stops the recording once the
// server has played everything (the program's stream leaves it a second after its last sound), and
// tells what it played.
auto Record(const std::string& path) {
  Sh("$SANDBOX_RECORD --latency-msec=100 > " + path + " & echo $! > " + path + ".pid");
  std::string recorder;
  std::ifstream(path + ".pid") >> recorder;
  Listed("source-outputs", recorder);
  return [path, recorder] {
    EXPECT_TRUE(Listed("sink-inputs", std::to_string(getpid()), true))
        << "the program keeps a stream on the server after its last sound";
    EXPECT_TRUE(Sh("kill " + recorder));
    return capture::Sounds(path, 60);
  };
}

// Waits, 10 s at most, until the recording at `path` holds `n` sounds.
void Heard(const std::string& path, std::size_t n) {
  for (int i = 0; i < 1000 && capture::Sounds(path, 60).size() < n; ++i) Sleep(10);
}

// How long `run` takes, in ms.
const auto Took = [](auto run) {
  const Clock::time_point start = Clock::now();
  return run(), std::chrono::duration<double, std::milli>(Clock::now() - start).count();
};

// A clip sung: its length, the pause before it (ms), and when its verse began.
struct Clip {
  double lengthMs, pauseMs;
  Clock::time_point verse;
};

// Sings verses `first` to `last` as a verse run does, and returns their clips. Before a verse's
// first clip play two silence clips (the tick's busy probe and the clip's), before the others one.
std::vector<Clip> Sing(int first, int last) {
  Module1::SoundDir = kClips;
  std::vector<Clip> clips;
  for (int verse = first; verse <= last; ++verse) {
    while (Module1::SoundIsBusy()) platform::PauseWhileBusy();
    const Clock::time_point start = Clock::now();
    Module1::SingVerse(std::to_string(verse));
    double pause = 200;
    for (const std::string& clip : Module1::VerseClips(std::to_string(verse)))
      clips.push_back({Ms(kClips + clip), std::exchange(pause, 100), start});
  }
  return clips;
}

// Checks that `clips` were heard as the last of `sounds`: whole, without holes, each after its
// pause (but for a first sound, which has none, and a pause that is negative, which is not known).
void ExpectHeard(const std::vector<capture::Sound>& sounds, const std::vector<Clip>& clips) {
  ASSERT_GE(sounds.size(), clips.size()) << "clips were not heard";
  for (std::size_t i = 0, at = sounds.size() - clips.size(); i < clips.size(); ++i, ++at) {
    EXPECT_NEAR(sounds[at].lengthMs, clips[i].lengthMs, 1) << "clip " << i;
    EXPECT_EQ(sounds[at].holes, 0) << "clip " << i;
    const bool known = at > 0 && clips[i].pauseMs >= 0;
    EXPECT_NEAR(sounds[at].pauseMs, known ? clips[i].pauseMs : sounds[at].pauseMs, 3) << i;
  }
}

TEST(ClipSamples, AFileThatCannotBePlayedPlaysTheStandInTone) {
  // The file, and how long it plays (ms): not there, no WAV file, a header cut short, a rate of
  // 2^31 - 1 Hz, no samples, samples cut short, and two that play (floats, stereo; and the
  // second that the tests below play).
  // clang-format off
  const std::pair<std::string, double> rows[] = {
      {kDir + "missing.wav", 150}, {File("text.wav", "Dette er ingen lyd."), 150},
      {File("header.wav", Wav(1, 16, 1, 22050, 100).substr(0, 30)), 150},
      {File("rate.wav", Wav(1, 16, 1, 22050, 100).replace(24, 4, "\xff\xff\xff\x7f")), 150},
      {File("none.wav", Wav(1, 16, 1, 22050, 0)), 150},
      {File("data.wav", Wav(1, 16, 1, 22050, 400).substr(0, 44 + 8820)), 200},
      {File("float.wav", Wav(3, 32, 2, 48000, 100)), 100},
      {File("long.wav", Wav(1, 16, 1, 22050, 1000)), 1000}};
  // clang-format on
  for (const auto& [path, ms] : rows) EXPECT_NEAR(Ms(path), ms, 0.1) << path;
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  EXPECT_LT(usage.ru_maxrss, 100 << 10) << "kB: a header's rate set how much to allocate";
}

// The tests run in this order, in one process, under tools/sandbox.sh.
//
// The program's first sound, with no sound server: it takes its own time all the same. Finding no
// server, the first try starts every driver SDL has: ALSA's complaints about its missing card are
// set aside. (SDL leaks the list of devices that ALSA found when it changes to PulseAudio later:
// the sanitizer build leaves this test out.)
TEST(FirstSound, WithNoServerTakesItsOwnTime) {
  Sh("$SANDBOX_SERVER kill");
  testing::internal::CaptureStderr();
  EXPECT_NEAR(Took([] { platform::sndPlaySound(kDir + "long.wav", SND_SYNC); }), 1000, 200)
      << "with no server, a sound did not take its own time";
  testing::internal::GetCapturedStderr();
  Sh("$SANDBOX_SERVER start");
}

// On a server just started, verses as a verse run sings them, with a processor core kept busy
// beside them (by a shell loop), and, once they have been heard, a clip cut by a stop; all
// recorded from the sound server.
TEST(SoundServer, ClipsWholeWithExactPausesAndNoHolesThenAStopCuts) {
  const auto played = Record(kDir + "played.raw");
  Sh("timeout 60 sh -c 'while :; do :; done' & echo $! > " + kDir + "busy.pid");
  const std::vector<Clip> clips = Sing(45, 47);
  Sh("kill $(cat " + kDir + "busy.pid)");
  EXPECT_FALSE(platform::sndPlaySound(kSilence, SND_NOSTOP)) << "not busy while a clip plays";
  EXPECT_TRUE(Listed("sink-inputs", std::to_string(getpid()), true));  // heard, maybe late
  ASSERT_TRUE(platform::sndPlaySound(kDir + "long.wav", SND_ASYNC));
  Heard(kDir + "played.raw", 10);
  EXPECT_TRUE(Sh(kBuffered)) << "the program keeps too little sound on the server";
  platform::sndPlaySound(kSilence, SND_SYNC);
  const std::vector<capture::Sound> sounds = played();
  ASSERT_EQ(sounds.size(), 10u);  // three clips a verse, and the clip cut
  EXPECT_LT(sounds.back().lengthMs, 800) << "the stop did not cut the clip";
  ExpectHeard({sounds.begin(), sounds.end() - 1}, clips);
}

// The sound server changes under the program, which is heard again each time, every clip whole
// with its pauses, from where its new stream begins (on PulseAudio, up to two seconds late):
// - the server killed during a run and started again a second later: every verse that starts
//   more than one and a half seconds after it is back (a try, a second at most, and a clip);
// - the sink woken from suspend by a run, once the program's stream has left it.
// Then the server stops (SIGSTOP): mid-clip on a device that plays, and while no device is open (a
// try hangs). The sounds take their own time, not the server's, and once it goes on (SIGCONT)
// they are heard again.
TEST(ServerChanges, TheProgramIsHeardAgainAndTheServerNeverHoldsItsSounds) {
  // The run is sung on this thread: SDL keeps data of its own for each thread that plays sound.
  auto server = std::async(std::launch::async, [] {
    Sh("sleep 0.3 && $SANDBOX_SERVER kill && sleep 1 && $SANDBOX_SERVER start");
    return std::pair(Record(kDir + "restart.raw"), Clock::now());
  });
  std::vector<Clip> clips = Sing(2, 6);
  const auto [played, back] = server.get();
  while (!clips.empty() && clips.front().verse <= back + milliseconds(1500))
    clips.erase(clips.begin());
  ExpectHeard(played(), clips);

  ASSERT_TRUE(Sh(
      "timeout 10 sh -c 'until pactl list sinks short | grep -q SUSPENDED; do sleep 0.1; done'"));
  const auto woken = Record(kDir + "woken.raw");
  clips = Sing(1, 2);
  ExpectHeard(woken(), clips);

  const auto heard = Record(kDir + "stopped.raw");
  Sing(3, 3);
  Heard(kDir + "stopped.raw", 2);
  Sh("$SANDBOX_SERVER STOP");
  // The clip's rest, the silence clip of its probe and the silence clip of a stop.
  const auto rest = [] {
    platform::PauseWhileBusy(), Module1::PlayClip(kSilence), Module1::StopSound();
  };
  EXPECT_LT(Took(rest), 900) << "sounds waited for the hung server";
  // Going on, the server first plays out what it held of verse 3 (30 to 335 ms were measured),
  // which the program cannot take back (docs/sound.md): a sound played at once would follow it with
  // no pause, and be heard as one with it. The wait keeps the two apart; it hides nothing else.
  Sh("$SANDBOX_SERVER CONT && sleep 0.5");
  platform::sndPlaySound(kClips + "1.wav", SND_SYNC);
  ExpectHeard(heard(), {{Ms(kClips + "1.wav"), -1, {}}});

  Sh("$SANDBOX_SERVER STOP");
  EXPECT_NEAR(Took([] { Sing(4, 4); }), 300 + Ms(kClips + "4.wav"), 200) << "a try that hangs";
  Sh("$SANDBOX_SERVER CONT");
}

}  // namespace
