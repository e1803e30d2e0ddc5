// The sound call on Linux, over SDL2. It behaves as winmm's sndPlaySound does for the flags the
// program passes: one sound at a time, each new sound cutting the one before, SND_NOSTOP leaving
// a playing sound alone, and a stand-in tone for a file that cannot be played. SDL reads the WAV
// files and converts them to the one format the device is opened with.
//
// Seamless pauses. A sound played synchronously (the silence clip of the busy probe or of a stop)
// lets its caller go on about one device buffer before its last sample is handed to the device,
// and from then on counts as ended. A sound started next is placed right behind it, sample for
// sample, instead of at the next buffer. The other seam, from a clip to the silence clip after it,
// is exact too: the rest of the buffer in which the clip ended was zeros, and the silence clip's
// first samples are zeros as well. So the pause between two clips is exactly the silence clip,
// and the device buffer can be as large as a real sound server needs to never run dry.
//
// The device is opened for the first sound and closed once nothing has played for a second, so
// an idle program keeps no stream open on the sound server and nothing in it wakes up. When no
// device can be opened (no sound server, no card), SDL's dummy driver takes its place: it takes
// samples at the real rate and plays them nowhere, so a verse run still keeps its pace.
//
// The sound server may go away and come back (a crash, a restart, an update, a server that starts
// after the program). A device that SDL has lost goes on taking samples at the right pace and
// throws them away, so nothing else shows the loss: at the start of every sound, a lost device is
// closed and SDL's driver started afresh (it keeps its own connection to the server), and the
// sound goes to a new device. What the lost device took is not played again. In the same way, at
// the start of a sound and at most once a second, the real driver is tried again in place of the
// dummy one. A device that stops taking samples altogether (a server that hangs) is given up after
// kHungAfter: sounds then fail at once, without waiting, until it takes samples again or is lost.

#include "sound_sdl.h"

#include <SDL.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "Platform.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::kRate;
using platform::Samples;

// 93 ms: large enough that a busy machine does not let the sound server run dry, and few enough
// wake-ups that playing costs next to nothing. For the pause after a clip to be exact, the zeros
// of the buffer in which the clip ended must fit in the silence clip (100 ms).
constexpr Uint16 kBufferFrames = 2048;
// How long the device stays open after the last sound has ended.
constexpr auto kCloseAfter = std::chrono::seconds(1);
// A device that has taken no samples for this long is taken for hung: the sound it holds is
// given up. A long clip is no reason to give up, as the device goes on taking its samples.
constexpr auto kHungAfter = std::chrono::seconds(5);
// How often, at most, the real driver is tried again while the dummy one stands in for it.
constexpr auto kRetryAfter = std::chrono::seconds(1);
// The highest sample rate of a clip file that is played.
constexpr int kHighestFileRate = 768000;

// Whether a sound server may be listening: PulseAudio's socket (or PipeWire's service of it)
// takes a connection, or PULSE_SERVER names some other server, or several, and it cannot be told
// (a server named only in PulseAudio's client.conf is not looked for). This costs
// microseconds, where switching from the dummy driver to a real one that then fails costs a
// quarter of a second (SDL waits for the dummy device's thread), so only a server that listens is
// tried. A server that starts after the program is found this way.
bool ServerListens() {
  const char* pulse = std::getenv("PULSE_SERVER");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const bool oneSocket = pulse != nullptr
                             ? std::strncmp(pulse, "unix:", 5) == 0 && !std::strchr(pulse, ' ')
                             : runtime != nullptr;
  if (!oneSocket) return true;
  const std::string path = pulse != nullptr ? pulse + 5 : std::string(runtime) + "/pulse/native";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool listens = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return listens;
}

// The one audio device and the sounds it plays. `queue_` holds what is still to be handed to the
// device from `position_` on: the sound playing now, and, behind it, a sound started after a
// synchronous one had let its caller go.
class SoundOut {
 public:
  static SoundOut& Get() {
    static SoundOut out;
    return out;
  }

  // Whether the sound started last still plays, as the busy probe sees it.
  bool Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return Playing();
  }

  // Starts `sound`, right behind a synchronous sound that has let its caller go, or else cutting
  // whatever plays. With `wait`, returns when the sound's last buffer is due (see above). False
  // when there is no device, or when the device stopped taking samples.
  bool Play(const Samples& sound, bool wait) {
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    {
      std::lock_guard<std::mutex> device(deviceMutex_);  // keeps the device from being closed
      if (!Open()) return false;
      lock.lock();
      if (hung_) return false;
      std::size_t from = 0;  // the first sample of `sound` still to be played
      if (released_ && !Quiet()) {
        queue_.erase(queue_.begin(), queue_.begin() + position_);  // keep its unplayed end
      } else {
        queue_.clear();  // cut what plays
        // Just after a sound has ended, the device has been handed zeros behind it, where this
        // sound would have begun: as many of its first samples as are zeros count as played.
        while (from < std::min(padding_, sound.size()) && sound[from] == 0) ++from;
      }
      queue_.insert(queue_.end(), sound.begin() + from, sound.end());
      padding_ = 0;
      position_ = 0;
      released_ = false;
      lastTaken_ = Clock::now();
    }
    if (!wait) return true;
    const bool taken = Await(lock, [this] { return queue_.size() - position_ <= bufferFrames_; });
    released_ = true;
    return taken;
  }

  // Waits until the sound started last has ended; false when the device stopped taking samples.
  bool AwaitEnd() {
    std::unique_lock<std::mutex> lock(mutex_);
    return !hung_ && Await(lock, [this] { return !Playing(); });
  }

 private:
  SoundOut() {
    // SDL would take SIGINT and SIGTERM for itself, and a program that reads no SDL events would
    // then no longer end on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) UseDummyDriver();
    closer_ = std::thread(&SoundOut::CloseWhenIdle, this);
  }

  ~SoundOut() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    closer_.join();
    if (hung_) return;  // closing a hung device would wait for it for good
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    SDL_Quit();
  }

  // SDL_AudioInit switches drivers: it closes every device of the one before.
  void UseDummyDriver() {
    SDL_AudioInit("dummy");
    dummy_ = true;
    nextTry_ = Clock::now() + kRetryAfter;
  }

  // Opens the device unless it is open and fit to play; called with deviceMutex_ held. A lost
  // device is replaced, and so is the dummy one once the real driver is due to be tried again.
  bool Open() {
    const bool lost = device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
    bool retry = dummy_ && Clock::now() >= nextTry_;
    if (retry && !ServerListens()) {  // a try that fails at once, and costs next to nothing
      nextTry_ = Clock::now() + kRetryAfter;
      retry = false;
    }
    if (device_ != 0 && !lost && !retry) return true;
    if (device_ != 0) Close();
    if (lost || retry) {  // SDL's first driver that starts, or else the dummy one
      dummy_ = SDL_AudioInit(nullptr) != 0;
      if (dummy_) UseDummyDriver();
    }
    SDL_AudioSpec want{}, got{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    want.callback = &SoundOut::Fill;
    want.userdata = this;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
    if (device_ == 0 && !dummy_) {
      UseDummyDriver();
      device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
    }
    if (device_ == 0) return false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      bufferFrames_ = got.samples;
      open_ = true;
      hung_ = false;
      quietSince_ = Clock::now();
    }
    changed_.notify_all();
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  // Closes the device; called with deviceMutex_ held and mutex_ not.
  void Close() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = false;
    }
    SDL_CloseAudioDevice(device_);  // waits for SDL's audio thread, which takes mutex_
    device_ = 0;
  }

  // The closing thread: sleeps until the device is open and quiet, and closes it once it has
  // stayed quiet for kCloseAfter.
  void CloseWhenIdle() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return stopping_ || (open_ && Quiet() && !hung_); });
      if (stopping_) return;
      if (changed_.wait_until(lock, quietSince_ + kCloseAfter,
                              [this] { return stopping_ || !Quiet() || hung_; })) {
        continue;
      }
      lock.unlock();
      std::unique_lock<std::mutex> device(deviceMutex_);
      lock.lock();
      if (stopping_ || !open_ || !Quiet() || Clock::now() < quietSince_ + kCloseAfter) continue;
      // A device that takes no samples would not let itself be closed: it is left until it does.
      hung_ = hung_ || Clock::now() > lastTaken_ + kCloseAfter;
      if (hung_) continue;
      lock.unlock();
      Close();
      device.unlock();
      lock.lock();
    }
  }

  // Waits until `done`, or until the device has taken no samples for kHungAfter. Sleeps in
  // between: the audio thread wakes it when a sound nears its end or ends.
  template <class Done>
  bool Await(std::unique_lock<std::mutex>& lock, Done done) {
    while (!done()) {
      const Clock::time_point hung = lastTaken_ + kHungAfter;
      changed_.wait_until(lock, hung, [&] { return done() || lastTaken_ + kHungAfter > hung; });
      if (!done() && lastTaken_ + kHungAfter <= hung) {
        position_ = queue_.size();  // the sound is given up, and the device with it
        hung_ = true;
        return false;
      }
    }
    return true;
  }

  // SDL's audio thread asks for the next `bytes` of output.
  static void SDLCALL Fill(void* self, Uint8* stream, int bytes) {
    static_cast<SoundOut*>(self)->FillFrames(reinterpret_cast<std::int16_t*>(stream),
                                             static_cast<std::size_t>(bytes) / 2);
  }

  void FillFrames(std::int16_t* out, std::size_t frames) {
    std::unique_lock<std::mutex> lock(mutex_);
    lastTaken_ = Clock::now();
    if (hung_) {  // it takes samples again
      hung_ = false;
      lock.unlock();
      changed_.notify_all();
      lock.lock();
    }
    const std::size_t count = std::min(frames, queue_.size() - position_);
    std::copy_n(queue_.begin() + position_, count, out);
    std::fill(out + count, out + frames, std::int16_t{0});
    position_ += count;
    padding_ = count > 0 ? frames - count : 0;  // zeros behind a sound that ended here
    if (count == 0) return;
    if (Quiet()) quietSince_ = lastTaken_;
    // Wake the waiters once a sound's last buffer is due, and once it has ended.
    if (queue_.size() - position_ <= bufferFrames_) {
      lock.unlock();
      changed_.notify_all();
    }
  }

  // Called with mutex_ held.
  bool Quiet() const { return position_ >= queue_.size(); }
  bool Playing() const { return !Quiet() && !released_; }

  std::mutex deviceMutex_;  // opening and closing the device; taken before mutex_
  SDL_AudioDeviceID device_ = 0;
  bool dummy_ = false;         // the device is the dummy driver's
  Clock::time_point nextTry_;  // when to try the real driver again

  std::mutex mutex_;
  std::condition_variable changed_;
  Samples queue_;
  std::size_t position_ = 0;  // the next sample of queue_ to hand to the device
  std::size_t padding_ = 0;   // zeros the device took behind a sound that ended in its last buffer
  bool released_ = false;     // the sound playing now was synchronous and let its caller go
  std::size_t bufferFrames_ = kBufferFrames;
  bool open_ = false;
  bool hung_ = false;  // the device has stopped taking samples
  bool stopping_ = false;
  Clock::time_point lastTaken_;   // when the device last took samples
  Clock::time_point quietSince_;  // when the last sound ended
  std::thread closer_;
};

}  // namespace

namespace {

// The system's default sound does not exist here; this short, soft tone stands in for it.
Samples DefaultSound() {
  constexpr double kSeconds = 0.15, kHz = 660.0, kLevel = 0.15, kPi = 3.14159265358979323846;
  const int count = static_cast<int>(kSeconds * kRate);
  Samples tone(count);
  for (int i = 0; i < count; ++i) {
    const double envelope = std::sin(kPi * i / count);  // soft start and end, no click
    tone[i] =
        static_cast<std::int16_t>(32767 * kLevel * envelope * std::sin(2 * kPi * kHz * i / kRate));
  }
  return tone;
}

// The WAV file at `path` as mono 16-bit samples at the device rate; none when SDL cannot read it.
Samples Decode(const std::string& path) {
  SDL_AudioSpec spec;
  Uint8* data = nullptr;
  Uint32 bytes = 0;
  if (SDL_LoadWAV(path.c_str(), &spec, &data, &bytes) == nullptr) return {};
  // A WAV header may claim any rate up to 2^31 - 1. No recording goes above 768 kHz, and the
  // padding below would take gigabytes at a made-up rate of billions, for SDL to refuse anyway.
  if (spec.freq > kHighestFileRate) {
    SDL_FreeWAV(data);
    return {};
  }
  const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
  const std::size_t frames =
      static_cast<std::size_t>(static_cast<Uint64>(bytes / frameBytes) * kRate / spec.freq);
  // SDL's resampler holds back the last few dozen milliseconds even when flushed; a tenth of a
  // second of silence behind the clip pushes all of the clip out, and is cut off again below.
  const std::vector<Uint8> padding(frameBytes * (spec.freq / 10 + 1),
                                   spec.format == AUDIO_U8 ? 0x80 : 0x00);
  Samples samples;
  SDL_AudioStream* stream =
      SDL_NewAudioStream(spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, kRate);
  if (stream != nullptr && SDL_AudioStreamPut(stream, data, static_cast<int>(bytes)) == 0 &&
      SDL_AudioStreamPut(stream, padding.data(), static_cast<int>(padding.size())) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    samples.resize(SDL_AudioStreamAvailable(stream) / sizeof(std::int16_t));
    const int got = SDL_AudioStreamGet(stream, samples.data(),
                                       static_cast<int>(samples.size() * sizeof(std::int16_t)));
    samples.resize(std::min<std::size_t>(got > 0 ? got / sizeof(std::int16_t) : 0, frames));
  }
  SDL_FreeAudioStream(stream);
  SDL_FreeWAV(data);
  return samples;
}

}  // namespace

Samples platform::ClipSamples(const std::string& path) {
  Samples samples = Decode(path);
  return samples.empty() ? DefaultSound() : samples;
}

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  SoundOut& out = SoundOut::Get();
  if ((flags & SND_NOSTOP) != 0 && out.Busy()) return false;
  return out.Play(ClipSamples(path), (flags & SND_ASYNC) == 0);
}

// The caller sleeps until the sound ends: no clock wakes it in between.
bool platform::PauseWhileBusy() {
  return SoundOut::Get().AwaitEnd();
}
