// The sound call in a web browser, over Web Audio. It behaves as winmm's sndPlaySound does for the
// flags the program passes: one sound at a time, each new sound cutting the one before, SND_NOSTOP
// leaving a playing sound alone, and a stand-in tone for a clip that cannot be played.
//
// Clips are fetched by their paths, which are relative to the page, and decoded by the browser,
// once. A clip that cannot be fetched or decoded plays the stand-in tone (150 ms, 660 Hz, soft, as
// on Linux), and is fetched again at its next turn, in case the network is back.
//
// Two clocks. Sounds are placed on the audio context's clock, on which a buffer starts on an exact
// sample. Whoever waits for a sound waits by the page's own clock (performance.now), for the
// sound's own length. So a wait ends on time also while the browser holds the sound back: before
// the first click or key on the page, which browsers ask for before they play anything, while the
// context is suspended (an iPad suspends it for a phone call), or while its clock stands still. The
// sound is silent then, and the run keeps its pace. A context whose sink is slow to begin plays
// its sounds late, every one of them, behind the page's clock.
//
// Seamless pauses. The program runs a little ahead of what is heard: a sound counts as ended, and
// lets a caller that waits for it go on, kAheadMs before its end, and the next sound is placed
// right behind it on the context's clock, sample for sample. The silence clip of a busy probe that
// comes after the sound before has ended counts from that end: the time since is silence gone by.
// So the pause between two clips is exactly the silence clip, also when a timer of the page fires
// late on a busy machine. Any other sound that is not placed behind a synchronous one cuts
// whatever sounds, or is placed to sound.
//
// Waits sleep with emscripten_sleep: the program is built with ASYNCIFY, and the browser goes on
// with its work meanwhile (see src/window/web/main.cpp).

#include "sound_web.h"

#include <emscripten.h>

#include <cmath>

#include "Platform.h"

namespace {

// How far the program runs ahead of what is heard (see above): as late as a page's timer may fire
// on a busy machine (a fifth of a second), beside the context's buffer (23 ms in Chromium).
constexpr double kAheadMs = 250;
// How long a sound waits for its clip to be fetched and decoded, before it plays the tone instead.
constexpr double kFetchWaitMs = 2000;

// clang-format off

// The audio context, the clips and the sound playing now, in Module.sound. Browsers let a context
// play only after a click or a key on the page: each one starts it again if it is not running.
EM_JS(void, MakeSound, (), {
  var Context = window.AudioContext || window.webkitAudioContext;
  var ctx = new Context({ latencyHint: "playback" }), rate = ctx.sampleRate;
  var s = Module.sound = { ctx: ctx, clips: new Map(), fetches: new Map(), nodes: [], playing: null };
  ["keydown", "mousedown", "touchend", "click"].forEach((type) => addEventListener(type, () => {
    if (ctx.state !== "running") ctx.resume();
  }, true));
  s.tone = ctx.createBuffer(1, Math.round(0.15 * rate), rate);
  var tone = s.tone.getChannelData(0);
  for (var i = 0; i < tone.length; ++i)  // a soft start and end: no click
    tone[i] = 0.15 * Math.sin(Math.PI * i / tone.length) * Math.sin(2 * Math.PI * 660 * i / rate);
  // Fetches and decodes the clip at `path` unless it is kept or on its way. The promise settles
  // once it is kept: the clip, or the tone when it failed (then fetched again at the next call).
  s.fetch = (path) => {
    if (!s.fetches.has(path)) s.fetches.set(path, fetch(path)
      .then((response) => response.ok ? response.arrayBuffer() : Promise.reject(response.status))
      .then((data) => new Promise((ok, fail) => {  // Safari before 14.1 has only callbacks
        var decoded = ctx.decodeAudioData(data, ok, fail);
        if (decoded) decoded.catch(fail);
      }))
      .then((clip) => { s.clips.set(path, clip); }, () => {
        s.clips.set(path, s.clips.get(path) || s.tone);
        s.fetches.delete(path);
      }));
    return s.fetches.get(path);
  };
});

// Whether the clip at `path` is kept; starts fetching it if it is not, or if it failed.
EM_JS(bool, ClipKept, (const char* path), {
  var s = Module.sound, name = UTF8ToString(path);
  s.fetch(name);
  return s.clips.has(name);
});

// Waits until the clip at `path` is kept, for at most `ms`.
EM_ASYNC_JS(void, AwaitClip, (const char* path, double ms), {
  await Promise.race([Module.sound.fetch(UTF8ToString(path)), new Promise((ok) => setTimeout(ok, ms))]);
});

// Starts the clip at `path` (the tone while it is not kept), placed as the comment at the top
// says; `probe` for the silence clip of a busy probe. Returns when it ends, by the page's clock.
EM_JS(double, StartSound, (const char* path, bool probe), {
  var s = Module.sound, ctx = s.ctx, before = s.playing, now = performance.now(), t = ctx.currentTime;
  var clip = s.clips.get(UTF8ToString(path)) || s.tone, length = clip.duration * 1000;
  var behind = before && (before.released || probe) && now < before.ends + (probe ? length : 0);
  // On the context's clock, behind the sound before, late if that clock lags the page's (a sink
  // may take two seconds to begin); afresh once it lags by 3 s (it stands still, as Linux gives up
  // a device that begins no sooner).
  var running = ctx.state === "running";
  var follows = behind && running && before.endsAt !== null && before.endsAt - t - (before.ends - now) / 1000 < 3;
  var start = follows ? before.endsAt : t;
  s.nodes = s.nodes.filter((node) => node.endsAt > t);
  if (!follows) s.nodes.splice(0).forEach((node) => node.stop());
  if (running) {
    var node = ctx.createBufferSource();
    node.buffer = clip;
    node.connect(ctx.destination);
    node.start(Math.max(start, t), Math.max(0, t - start));
    node.endsAt = start + clip.duration;
    s.nodes.push(node);
  }
  var ends = (follows || (behind && !running) ? before.ends : now) + length;  // the lag aside
  s.playing = { ends: ends, endsAt: running ? start + clip.duration : null, released: false };
  return ends;
});

// When the sound playing now ends, by the page's clock; 0 when there is none, or a synchronous one
// has let its caller go.
EM_JS(double, SoundEnds, (), {
  var playing = Module.sound.playing;
  return playing && !playing.released ? playing.ends : 0;
});

EM_JS(void, ReleaseSound, (), { Module.sound.playing.released = true; });

// clang-format on

// The context is made, and the first click listened for, as the program starts.
const bool kMade = (MakeSound(), true);

// Sleeps until `ms` by the page's clock; the browser goes on meanwhile.
void SleepUntil(double ms) {
  for (double now = emscripten_get_now(); now < ms; now = emscripten_get_now())
    emscripten_sleep(static_cast<unsigned>(std::ceil(ms - now)));
}

}  // namespace

bool platform::sndPlaySound(const std::string& path, unsigned flags) {
  if ((flags & SND_NOSTOP) != 0 && SoundEnds() - kAheadMs > emscripten_get_now()) return false;
  if (!ClipKept(path.c_str())) AwaitClip(path.c_str(), kFetchWaitMs);
  const double ends = StartSound(path.c_str(), (flags & SND_NOSTOP) != 0);
  if ((flags & SND_ASYNC) == 0) {
    SleepUntil(ends - kAheadMs);
    ReleaseSound();
  }
  return true;
}

// The caller sleeps until the sound counts as ended.
bool platform::PauseWhileBusy() {
  SleepUntil(SoundEnds() - kAheadMs);
  return true;
}

void platform::FetchClip(const std::string& path) {
  ClipKept(path.c_str());
}
