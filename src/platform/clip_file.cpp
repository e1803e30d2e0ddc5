// Reading clip files on Linux: SDL reads the WAV file and converts it to the one format the
// device is opened with. A file that cannot be played gives a stand-in tone, as the Windows call
// plays the system's default sound.

#include "clip_file.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using platform::kRate;
using platform::Samples;

// The highest sample rate of a clip file that is played.
constexpr int kHighestFileRate = 768000;

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

// The WAV file at `path` as mono 16-bit samples at the device rate; none when SDL cannot read it.
Samples Decode(const std::string& path) {
  SDL_AudioSpec spec;
  Uint8* data = nullptr;
  Uint32 bytes = 0;
  if (SDL_LoadWAV(path.c_str(), &spec, &data, &bytes) == nullptr) return {};
  // A WAV header may claim any rate up to 2^31 - 1. No recording goes above 768 kHz, and the
  // padding below would take gigabytes at a made-up rate of billions, for SDL to refuse anyway.
  if (spec.freq > kHighestFileRate) {
    SDL_FreeWAV(data);
    return {};
  }
  const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
  const std::size_t frames =
      static_cast<std::size_t>(static_cast<Uint64>(bytes / frameBytes) * kRate / spec.freq);
  // SDL's resampler holds back the last few dozen milliseconds even when flushed; a tenth of a
  // second of silence behind the clip pushes all of the clip out, and is cut off again below.
  const std::vector<Uint8> padding(frameBytes * (spec.freq / 10 + 1),
                                   spec.format == AUDIO_U8 ? 0x80 : 0x00);
  Samples samples;
  SDL_AudioStream* stream =
      SDL_NewAudioStream(spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, kRate);
  if (stream != nullptr && SDL_AudioStreamPut(stream, data, static_cast<int>(bytes)) == 0 &&
      SDL_AudioStreamPut(stream, padding.data(), static_cast<int>(padding.size())) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    samples.resize(SDL_AudioStreamAvailable(stream) / sizeof(std::int16_t));
    const int got = SDL_AudioStreamGet(stream, samples.data(),
                                       static_cast<int>(samples.size() * sizeof(std::int16_t)));
    samples.resize(std::min<std::size_t>(got > 0 ? got / sizeof(std::int16_t) : 0, frames));
  }
  SDL_FreeAudioStream(stream);
  SDL_FreeWAV(data);
  return samples;
}

}  // namespace

Samples platform::ClipSamples(const std::string& path) {
  Samples samples = Decode(path);
  return samples.empty() ? DefaultSound() : samples;
}
