// The Linux sound call's queue alone, on a virtual clock, with no sound server.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sound_queue.h"

using namespace std::chrono_literals;
using platform::Samples;

// With no device, a clip lasts its own length. Two clips with the silence clip before each,
// played as the clip player plays them, to a device that takes `frames` samples at a time: between
// the clips it is handed exactly the silence clip, whatever its buffer. Then the device stops a
// clip of a second after its first buffer: the stand-in clock goes on from there, and the clip
// ends on time.
TEST(SoundQueue, PausesAreExactlyTheSilenceClipAndSoundsLastTheirLengthWithoutADevice) {
  const Samples clip(3000, 7), silence(2205, 0), sung = [&] {  // 136 ms and 100 ms
    Samples s = clip;
    s.insert(s.end(), silence.begin(), silence.end());
    return s.insert(s.end(), clip.begin(), clip.end()), s;
  }();
  for (const std::size_t frames : {1, 300, 2048, 2205}) {
    platform::SoundQueue queue;
    platform::Clock::time_point now{};
    queue.Start(clip, now);
    EXPECT_TRUE(queue.Playing(now += 136ms) && !queue.Playing(now += 1ms));
    const auto buffer = frames * 1000000 / 22050 * 1us;
    Samples heard;
    const auto take = [&] {
      heard.resize(heard.size() + frames);
      queue.Take(&heard[heard.size() - frames], frames, now += buffer);
    };
    for (int i = 0; i < 2; ++i) {
      while (queue.Playing(now)) take();
      queue.Start(silence, now);
      while (!queue.LetGo(now)) take();
      queue.Start(clip, now);
    }
    while (!queue.Quiet(now)) take();
    heard.erase(heard.begin(), std::find(heard.begin(), heard.end(), 7));
    heard.resize(sung.size());
    EXPECT_TRUE(heard == sung) << frames << " frames a buffer: a pause of "
                               << std::find(heard.begin() + 3000, heard.end(), 7) - heard.begin() -
                                      3000;

    queue.Start(Samples(22050, 7), now);
    take();
    EXPECT_TRUE(queue.Playing(now + 1s - buffer - 1ms) && !queue.Playing(now + 1s - buffer));
  }
}
