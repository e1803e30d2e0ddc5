// The executable's folder in a web browser: the page's own folder, which holds the program's .js
// and .wasm and the clips. Paths relative to it are fetched from beside the page, wherever on a
// web site it lies.

#include "Platform.h"

const char platform::kDirSeparator = '/';

std::string platform::ExecutableFolder() {
  return ".";
}
