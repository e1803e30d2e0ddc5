// The sound call on Linux, over SDL2. It behaves as winmm's sndPlaySound does for the flags the
// program passes: one sound at a time, each new sound cutting the one before, SND_NOSTOP leaving
// a playing sound alone, and a stand-in tone for a file that cannot be played (clip_file.cpp).
// The sounds wait in a SoundQueue (sound_queue.h), which also says when each ends.
//
// The device's life. Every call into SDL's audio driver may wait for the sound server, for as long
// as the server hangs, so none is made on the caller's thread: a thread of its own opens the
// device for a sound that has none, replaces a device that SDL has lost, and closes the device
// once nothing has played for a second, so that an idle program keeps no stream open on the sound
// server and nothing in it wakes up. Meanwhile the queue keeps the sound for the device, which
// plays it once it begins, and its stand-in clock keeps the program's pace: a verse run goes on,
// and the caller's waits end when the sound would have ended, while a device opens, while a new
// stream waits for a sink that is slow to begin, and while the server hangs.
//
// The sound server may go away and come back (a crash, a restart, an update, a server that starts
// after the program). A device that SDL has lost goes on taking samples at the right pace and
// throws them away; it is closed, SDL's driver is started afresh (it keeps its own connection to
// the server), and the sound goes on on a new device. While no device can be opened, it is tried
// again at most once a second while a sound plays, when the server's socket takes a connection.
//
// The program never waits for this thread: it ends, whatever the thread is waiting for.

#include <SDL.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "Platform.h"
#include "clip_file.h"

namespace {

using platform::Clock;

// 93 ms: large enough that a busy machine does not let the sound server run dry, and few enough
// wake-ups that playing costs next to nothing. For the pause after a clip to be exact, the zeros
// of the buffer in which the clip ended must fit in the silence clip (100 ms).
constexpr Uint16 kBufferFrames = 2048;
// How long the device stays open after the last sound has ended.
constexpr auto kCloseAfter = std::chrono::seconds(1);
// How often, at most, a device is tried again while none can be opened.
constexpr auto kRetryAfter = std::chrono::seconds(1);

// Whether the Unix socket at `path` takes a connection. This costs microseconds.
bool Listens(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool listens = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return listens;
}

// Whether a sound server may be listening: PulseAudio's socket (or PipeWire's service of it)
// takes a connection, or PULSE_SERVER names some other server, or several, and it cannot be told
// (a server named only in PulseAudio's client.conf is not looked for). This spares a try of every
// driver SDL has (and their complaints on the standard error) while no server runs.
bool ServerListens() {
  const char* pulse = std::getenv("PULSE_SERVER");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const bool oneSocket = pulse != nullptr
                             ? std::strncmp(pulse, "unix:", 5) == 0 && !std::strchr(pulse, ' ')
                             : runtime != nullptr;
  if (!oneSocket) return true;
  return Listens(pulse != nullptr ? pulse + 5 : std::string(runtime) + "/pulse/native");
}

// PipeWire's PulseAudio service keeps a stream only about 70 % of the buffer SDL asks for (93 ms),
// less than SDL writes at once, and the stream ran dry for one of the graph's 21 ms cycles in one
// run of the sound test in five on a busy machine. Asked for 200 ms (PULSE_LATENCY_MSEC, which
// PulseAudio's client library reads), it keeps 120 ms and runs 43 ms cycles: none ran dry in 20
// such runs. A stop is then heard at most 0.21 s late (120 ms kept, and SDL's buffer), not 0.16 s.
// PulseAudio keeps what SDL asks, and is left alone when it alone listens; when no server listens
// yet, PipeWire (a desktop's default today) is assumed. A value that the user set stands. Set
// before main, while no other thread can be reading the environment.
[[maybe_unused]] const bool kLatencyAsked = [] {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const bool pipeWire = runtime != nullptr && Listens(std::string(runtime) + "/pipewire-0");
  return (pipeWire || !ServerListens()) && setenv("PULSE_LATENCY_MSEC", "200", 0) == 0;
}();

class SoundOut {
 public:
  // Never destroyed: the program ends without waiting for the device's thread, which may be
  // waiting for a sound server that hangs.
  static SoundOut& Get() {
    static SoundOut* out = new SoundOut;
    return *out;
  }

  bool Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.Playing(Clock::now());
  }

  // Starts `sound` (see SoundQueue::Start); with `wait`, returns when it lets its caller go.
  void Play(const platform::Samples& sound, bool cut, bool wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    const Clock::time_point now = Clock::now();
    // A sound with no device has one tried at once, and is kept for it from its first sample.
    if (device_ == 0 && !opening_ && now >= nextTry_) queue_.Opening(now);
    queue_.Start(sound, cut, now);
    changed_.notify_all();  // the device's thread may have a device to open
    if (wait) Await(lock, [this](Clock::time_point t) { return queue_.LetGo(t); });
  }

  void AwaitEnd() {
    std::unique_lock<std::mutex> lock(mutex_);
    Await(lock, [this](Clock::time_point now) { return !queue_.Playing(now); });
  }

 private:
  SoundOut() {
    // SDL would take SIGINT and SIGTERM for itself, and a program that reads no SDL events would
    // then no longer end on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    std::thread(&SoundOut::KeepDevice, this).detach();
  }

  // Sleeps until `done`: the device wakes it as a sound nears its end, and the queue says when to
  // look again when no device does.
  template <class Done>
  void Await(std::unique_lock<std::mutex>& lock, Done done) {
    while (!done(Clock::now())) changed_.wait_until(lock, queue_.Due());
  }

  // The device's thread. It sleeps until there is something to do: a sound with no device, a
  // device lost, or a device quiet for kCloseAfter.
  void KeepDevice() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      const Clock::time_point now = Clock::now();
      const bool quiet = queue_.Quiet(now);
      // A quiet device is closed a second after the last sound, or after its opening.
      const Clock::time_point idleUntil =
          quiet ? std::max(queue_.Ends(), opened_) + kCloseAfter : Clock::time_point::max();
      if (device_ != 0 && (lost_ || (quiet && now >= idleUntil))) {
        Close(lock);
      } else if (device_ == 0 && !quiet && now >= nextTry_) {
        Open(lock);
      } else if (device_ != 0 && quiet) {
        changed_.wait_until(lock, idleUntil);
      } else if (device_ == 0 && !quiet) {
        changed_.wait_until(lock, nextTry_);
      } else {
        changed_.wait(lock);
      }
    }
  }

  // Opens a device, starting SDL's driver afresh unless the last device worked; it plays what was
  // kept for it since the try began. Called, as Close, with `lock` held; both let go of it while
  // SDL works.
  void Open(std::unique_lock<std::mutex>& lock) {
    const bool restart = !driverWorks_;
    if (restart && tried_ && !ServerListens()) return Opened(0);
    tried_ = opening_ = true;
    queue_.Opening(Clock::now());
    lock.unlock();
    SDL_AudioSpec want{}, got{};
    want.freq = platform::kRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    want.callback = &SoundOut::Fill;
    want.userdata = this;
    // SDL_AudioInit starts SDL's first driver that starts, closing the one before.
    SDL_AudioDeviceID device = 0;
    if (!restart || SDL_AudioInit(nullptr) == 0)
      device = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
    lock.lock();
    Opened(device);
    if (device == 0) return;
    lock.unlock();
    SDL_PauseAudioDevice(device, 0);  // takes the lock that Fill holds while it takes mutex_
    lock.lock();
  }

  // The end of a try: `device` is open, or 0.
  void Opened(SDL_AudioDeviceID device) {
    device_ = device;
    driverWorks_ = device != 0;
    opened_ = Clock::now();
    nextTry_ = opened_ + kRetryAfter;
    opening_ = false;
    if (device == 0) queue_.Lose(opened_);  // what plays now is not heard
  }

  void Close(std::unique_lock<std::mutex>& lock) {
    const SDL_AudioDeviceID device = std::exchange(device_, 0);
    queue_.Lose(Clock::now());
    if (std::exchange(lost_, false)) driverWorks_ = false;
    lock.unlock();
    SDL_CloseAudioDevice(device);  // waits for the audio thread
    lock.lock();
  }

  // SDL's audio thread asks for the next `bytes` of output.
  static void SDLCALL Fill(void* self, Uint8* stream, int bytes) {
    static_cast<SoundOut*>(self)->FillFrames(reinterpret_cast<std::int16_t*>(stream),
                                             static_cast<std::size_t>(bytes) / 2);
  }

  void FillFrames(std::int16_t* out, std::size_t frames) {
    std::unique_lock<std::mutex> lock(mutex_);
    const Clock::time_point now = Clock::now();
    // A lost device is called on at the right pace; its samples go nowhere.
    if (device_ != 0 && !lost_ && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
      lost_ = true;
      queue_.Lose(now);
      changed_.notify_all();
    }
    if (device_ == 0 || lost_) {
      std::fill(out, out + frames, std::int16_t{0});
    } else if (queue_.Take(out, frames, now)) {
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;  // the queue or the device changed
  platform::SoundQueue queue_;
  // The device's thread's own; Fill reads device_ and lost_ as well.
  SDL_AudioDeviceID device_ = 0;
  bool lost_ = false;         // SDL has lost device_
  bool driverWorks_ = false;  // SDL's driver is started, and the last device worked
  bool tried_ = false;        // a device has been tried
  bool opening_ = false;      // a device is being tried
  Clock::time_point opened_;  // when the last try ended
  Clock::time_point nextTry_;
};

}  // namespace

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  SoundOut& out = SoundOut::Get();
  if ((flags & SND_NOSTOP) != 0 && out.Busy()) return false;
  out.Play(ClipSamples(path), (flags & (SND_NOSTOP | SND_ASYNC)) == 0, (flags & SND_ASYNC) == 0);
  return true;
}

// The caller sleeps until the sound ends: no clock wakes it in between.
bool platform::PauseWhileBusy() {
  SoundOut::Get().AwaitEnd();
  return true;
}
