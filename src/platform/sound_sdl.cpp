// The sound call on Linux, over SDL2. It behaves as winmm's sndPlaySound does for the flags the
// program passes: one sound at a time, each new sound cutting the one before, SND_NOSTOP leaving
// a playing sound alone, and a stand-in tone for a file that cannot be played. SDL reads the WAV
// files and converts them to the one format the device is opened with.
//
// When no audio device can be opened (no sound server, no card), SDL's dummy driver takes its
// place: it consumes samples at the real rate and plays them nowhere, so a verse run still keeps
// the clips' real pace instead of stalling or racing.

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "Platform.h"

namespace {

constexpr int kRate = 48000;
// A sound starts at the beginning of a device buffer, so the gap between two clips is the
// silence clip plus what was left of the buffer in which the clip before ended: 0 to 4 ms here.
// 4 ms divides the 100 ms silence clip evenly, so the silence itself adds nothing. A shorter
// buffer would wake the audio thread more often than it is worth.
constexpr Uint16 kBufferFrames = 192;
// SDL's dummy driver, which takes over when there is no device, rounds its buffer up to a power
// of two and then sleeps that buffer's length in whole milliseconds once per callback: with
// 192 frames it asks for 4 ms of sound every 5 ms, and the song runs 22 % slower than real time.
// 1024 frames (21.3 ms, paced at 21 ms) keep within 1 %; nobody hears the coarser hand-over.
constexpr Uint16 kDummyBufferFrames = 1024;
// How much longer than its own length a synchronous sound may take before the device is taken
// for hung and the sound is given up.
constexpr auto kSyncMargin = std::chrono::seconds(2);
// The longest pause between two questions to a busy sound service. Its end wakes the pause at
// once; the limit only keeps a hung device from sending the caller to sleep for good.
constexpr auto kLongestPause = std::chrono::milliseconds(20);

// The highest sample rate of a clip file that is played.
constexpr int kHighestFileRate = 768000;

using Samples = std::vector<std::int16_t>;

// The system's default sound does not exist here; this short, soft tone stands in for it.
Samples DefaultSound() {
  constexpr double kSeconds = 0.15, kHz = 660.0, kLevel = 0.15, kPi = 3.14159265358979323846;
  const int count = static_cast<int>(kSeconds * kRate);
  Samples tone(count);
  for (int i = 0; i < count; ++i) {
    const double envelope = std::sin(kPi * i / count);  // soft start and end, no click
    tone[i] =
        static_cast<std::int16_t>(32767 * kLevel * envelope * std::sin(2 * kPi * kHz * i / kRate));
  }
  return tone;
}

// The WAV file at `path` as mono 16-bit samples at the device rate, or nothing when SDL cannot
// read it.
std::optional<Samples> Decode(const std::string& path) {
  SDL_AudioSpec spec;
  Uint8* data = nullptr;
  Uint32 bytes = 0;
  if (SDL_LoadWAV(path.c_str(), &spec, &data, &bytes) == nullptr) return std::nullopt;
  // A WAV header may claim any rate up to 2^31 - 1. No recording goes above 768 kHz, and the
  // padding below would take gigabytes at a made-up rate of billions, for SDL to refuse anyway.
  if (spec.freq > kHighestFileRate) {
    SDL_FreeWAV(data);
    return std::nullopt;
  }
  const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
  const std::size_t frames =
      static_cast<std::size_t>(static_cast<Uint64>(bytes / frameBytes) * kRate / spec.freq);
  // SDL's resampler holds back the last few dozen milliseconds even when flushed; a tenth of a
  // second of silence behind the clip pushes all of the clip out, and is cut off again below.
  const std::vector<Uint8> padding(frameBytes * (spec.freq / 10 + 1),
                                   spec.format == AUDIO_U8 ? 0x80 : 0x00);
  std::optional<Samples> samples;
  SDL_AudioStream* stream =
      SDL_NewAudioStream(spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, kRate);
  if (stream != nullptr && SDL_AudioStreamPut(stream, data, static_cast<int>(bytes)) == 0 &&
      SDL_AudioStreamPut(stream, padding.data(), static_cast<int>(padding.size())) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    samples.emplace(SDL_AudioStreamAvailable(stream) / sizeof(std::int16_t));
    const int got = SDL_AudioStreamGet(stream, samples->data(),
                                       static_cast<int>(samples->size() * sizeof(std::int16_t)));
    samples->resize(std::min<std::size_t>(got > 0 ? got / sizeof(std::int16_t) : 0, frames));
  }
  SDL_FreeAudioStream(stream);
  SDL_FreeWAV(data);
  return samples;
}

// The one audio device and the one sound playing on it. The device runs all the time; between
// sounds it plays zeros.
class SoundOut {
 public:
  static SoundOut& Get() {
    static SoundOut out;
    return out;
  }

  bool Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !Quiet();
  }

  // Cuts whatever plays and starts `sound`. False when there is no device to play on.
  bool Start(Samples sound) {
    if (device_ == 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    sound_ = std::move(sound);
    position_ = 0;
    return true;
  }

  // Waits until nothing plays any more, or `most` has passed.
  void WaitWhileBusy(std::chrono::milliseconds most) {
    std::unique_lock<std::mutex> lock(mutex_);
    ended_.wait_for(lock, most, [this] { return Quiet(); });
  }

  // Waits until the sound started last has been played out. If the device stops taking samples
  // it cuts the sound and says false instead of waiting for good.
  bool WaitForEnd() {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto length = std::chrono::milliseconds(1000LL * sound_.size() / kRate);
    if (ended_.wait_for(lock, length + kSyncMargin, [this] { return Quiet(); })) return true;
    position_ = sound_.size();
    return false;
  }

 private:
  SoundOut() {
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    want.callback = &SoundOut::Fill;
    want.userdata = this;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      Open(want);
      if (device_ == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (device_ == 0) {
      SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) Open(want);
    }
    if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
  }

  // Opens the default device of the audio driver SDL has started.
  void Open(SDL_AudioSpec want) {
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver != nullptr && std::strcmp(driver, "dummy") == 0) want.samples = kDummyBufferFrames;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  }

  ~SoundOut() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    SDL_Quit();
  }

  // SDL's audio thread asks for the next `bytes` of output.
  static void SDLCALL Fill(void* self, Uint8* stream, int bytes) {
    static_cast<SoundOut*>(self)->FillFrames(reinterpret_cast<std::int16_t*>(stream),
                                             static_cast<std::size_t>(bytes) / 2);
  }

  void FillFrames(std::int16_t* out, std::size_t frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool playing = !Quiet();
    std::size_t copied = 0;
    for (; copied < frames && position_ < sound_.size(); ++copied)
      out[copied] = sound_[position_++];
    for (; copied < frames; ++copied) out[copied] = 0;
    if (playing && Quiet()) ended_.notify_all();
  }

  // Whether the sound has been played out; called with mutex_ held.
  bool Quiet() const { return position_ >= sound_.size(); }

  SDL_AudioDeviceID device_ = 0;
  std::mutex mutex_;
  std::condition_variable ended_;
  Samples sound_;
  std::size_t position_ = 0;  // the next sample of sound_ to play
};

}  // namespace

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  SoundOut& out = SoundOut::Get();
  if ((flags & SND_NOSTOP) != 0 && out.Busy()) return false;
  std::optional<Samples> sound = Decode(path);
  if (!out.Start(sound ? std::move(*sound) : DefaultSound())) return false;
  if ((flags & SND_ASYNC) != 0) return true;
  return out.WaitForEnd();
}

// A waiting caller is woken by the end of the sound rather than by a clock: every wake-up costs
// processor time, and a thousand a second would cost more than all the rest of the program.
void platform::PauseBriefly() {
  SoundOut::Get().WaitWhileBusy(kLongestPause);
}
