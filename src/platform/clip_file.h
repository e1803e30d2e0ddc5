// What a clip file plays as on Linux, apart from the device, so that it can be checked alone.
#pragma once

#include <string>

#include "sound_queue.h"

namespace platform {

// The samples the clip file at `path` plays as: the file's own, converted to kRate, or a short,
// soft tone where the file is missing, is no WAV file SDL can read, or holds no samples.
Samples ClipSamples(const std::string& path);

}  // namespace platform
