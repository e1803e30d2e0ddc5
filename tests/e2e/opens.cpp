// Writes down when files in a folder are opened, until it is stopped. The program opens a clip
// file each time it plays that clip (a busy probe opens nothing), so this shows what it played
// and when, even where no sound can be captured.
//
//   opens FOLDER
//
// Prints "ms name" per file opened, ms on the monotonic clock, one line at a time as it happens.

#include <sys/inotify.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: opens FOLDER\n");
    return 2;
  }
  const int fd = inotify_init();
  if (fd < 0 || inotify_add_watch(fd, argv[1], IN_OPEN) < 0) {
    std::perror("opens");
    return 1;
  }
  alignas(inotify_event) char buffer[64 * (sizeof(inotify_event) + NAME_MAX + 1)];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return 1;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ms = now.tv_sec * 1000LL + now.tv_nsec / 1000000;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0) std::printf("%lld %s\n", ms, event->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    std::fflush(stdout);
  }
}
