// Names the sounds in a recording of what was played (see capture.h) by their levels: the
// end-to-end tests give every clip a level of its own.
//
//   clipscan TAGS RAW      TAGS: one "name level" line per clip
//
// Prints "name length_ms pause_ms holes" per sound; "?" names a sound at no clip's level.

#include <cstdio>

#include "capture.h"

int main(int argc, char** argv) {
  for (const capture::Sound& sound : capture::Sounds(argc == 3 ? argv[2] : "", 60)) {
    std::ifstream tags(argv[1]);
    std::string name, tag = "?";
    for (int level; tags >> name >> level;)
      if (std::abs(level - sound.level) <= std::max(60, level / 50)) tag = name;
    std::printf("%s %.1f %.1f %d\n", tag.c_str(), sound.lengthMs, sound.pauseMs, sound.holes);
  }
}
