// The Linux sound call's queue alone, on a virtual clock, with no sound server.

#include <gtest/gtest.h>

#include "platform/sound_queue.h"

using namespace std::chrono_literals;

// Two clips with the silence clip before each, played as the clip player plays them, to a device
// that takes `frames` samples at a time: between the clips it is handed exactly the silence clip,
// whatever its buffer. Then the device stops after the first buffer of a clip of a second: the
// stand-in clock goes on from there, and the clip ends on time.
TEST(SoundQueue, PausesAreExactlyTheSilenceClipAndAStoppedDeviceKeepsTheTime) {
  const platform::Samples clip(3000, 7), silence(2205, 0);  // 136 ms and 100 ms
  for (const std::size_t frames : {1, 300, 2048, 2205}) {
    platform::SoundQueue queue;
    platform::Clock::time_point now{};
    const auto buffer = frames * 1000000 / 22050 * 1us;
    std::string heard;  // "c" for a sample of a clip, "." for one of silence
    const auto take = [&] {
      platform::Samples out(frames);
      queue.Take(out.data(), frames, now += buffer);
      for (std::int16_t sample : out) heard += sample != 0 ? 'c' : '.';
    };
    for (int clips = 0; clips < 2; ++clips) {
      while (queue.Playing(now)) take();
      queue.Start(silence, now);
      while (!queue.LetGo(now)) take();
      queue.Start(clip, now);
    }
    while (!queue.Quiet(now)) take();
    heard = heard.substr(heard.find('c'), 8205);
    EXPECT_TRUE(heard == std::string(3000, 'c') + std::string(2205, '.') + std::string(3000, 'c'))
        << frames << " samples a buffer: a pause of " << heard.find('c', 3000) - 3000;

    queue.Start(platform::Samples(22050, 7), now);
    take();
    EXPECT_TRUE(queue.Playing(now + 1s - buffer - 1ms) && !queue.Playing(now + 1s - buffer));
  }
}
