// The executable's folder on Linux.

#include <filesystem>

#include "Platform.h"

const char platform::kDirSeparator = '/';

// /proc/self/exe names the executable itself even when it was started through a link, such as
// the one an installation puts in bin/, so the clips beside the real file are found.
std::string platform::ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}
