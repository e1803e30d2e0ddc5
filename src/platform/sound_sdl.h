// What a clip file plays as on Linux, apart from the device, so that it can be checked alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Every sound is played as mono 16-bit samples at this rate, the clips' own: they need no
// converting, and the sound server, which mixes at its own rate, takes what is left.
inline constexpr int kRate = 22050;
using Samples = std::vector<std::int16_t>;

// The samples the clip file at `path` plays as: the file's own, converted to kRate, or a short,
// soft tone where the file is missing, is no WAV file SDL can read, or holds no samples.
Samples ClipSamples(const std::string& path);

}  // namespace platform
