// What the web page asks of the browser's sound call beyond Platform.h.
#pragma once

#include <string>

namespace platform {

// Starts fetching and decoding the clip at `path`, so that it is ready when it is played.
void FetchClip(const std::string& path);

}  // namespace platform
