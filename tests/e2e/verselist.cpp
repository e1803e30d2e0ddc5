// Prints the clips that sing verses FIRST to LAST, as the program's own song rules give them:
// one "verse clip" line per clip, in playing order. The whole-run test compares what was played
// with this list.
//
//   verselist FIRST LAST

#include <cstdio>
#include <cstdlib>
#include <string>

#include "song/Module1.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: verselist FIRST LAST\n");
    return 2;
  }
  const int first = std::atoi(argv[1]), last = std::atoi(argv[2]);
  for (int verse = first; verse <= last; ++verse)
    for (const std::string& clip : Module1::VerseClips(std::to_string(verse)))
      std::printf("%d %s\n", verse, clip.c_str());
  return 0;
}
