// Form1 in a web browser: creates the page's controls and forwards their events to Form1's
// handlers. Everything the handlers do lives in Form1.cpp.
//
// One handler at a time, each to its end. A handler that waits for the sound (the clip before, or
// the silence clip) gives the browser its thread back until the wait is over: the program is built
// with ASYNCIFY, and the sound call sleeps with emscripten_sleep (src/platform/sound_web.cpp). The
// page goes on answering meanwhile, and the events that come wait in a queue, to be handled after
// it, in order, as a desktop's window handles the messages that came while it was busy. The timer's
// tick comes last, once nothing else waits, as Windows sends WM_TIMER: ticks do not pile up, and a
// click that came while a tick waited is handled before the next tick.
//
// The boxes. A person sees what they type at once, but the handlers see each box's text as of the
// events handled so far: each change carries the box's text as it was after that edit. So a tick
// that reads the end box after a verse reads it as it was before the keys typed while the verse was
// sung, as on the desktops. The program's own changes of a box raise its change handler again, as
// a Windows edit control does.
//
// Sizes are in rem, the browser's text size, which is 16 pixels unless a person sets another: one
// pixel of the layout is 1/16 rem. So the page grows with the browser's text size, and with its
// zoom, and the captions are fitted to their controls as on the desktops
// (Form1Layout::CaptionSize).
//
// Screen readers: each button is named by its caption and each box by its label (<label for>); the
// page's language is Norwegian Bokmål (lang="nb" in packaging/web/index.html).

#include <emscripten.h>

#include <cmath>
#include <set>
#include <string>

#include "platform/sound_web.h"
#include "song/Module1.h"
#include "window/Form1.h"

namespace {

using Form1Layout::Rect;

// The events of the page, as the queue in Listen numbers them for Form1Event.
enum Event { kPlayClick, kStopClick, kTimerTick, kBoxChange, kPageHide };

// clang-format off

// Makes a control (or, first, the form that holds them) at its place in the layout. A label names
// the box `labels`.
EM_JS(void, MakeControl, (const char* tag, const char* id, const char* text, const char* labels,
                          int left, int top, int width, int height), {
  var control = document.createElement(UTF8ToString(tag));
  control.id = UTF8ToString(id);
  if (control.tagName === "INPUT") control.value = UTF8ToString(text);
  else control.textContent = UTF8ToString(text);
  if (labels) control.htmlFor = UTF8ToString(labels);
  var place = { left: left, top: top, width: width, height: height };
  for (var side in place) control.style[side] = place[side] / 16 + "rem";
  (document.getElementById("Form1") || document.body).appendChild(control);
});

// The browser's text size, in CSS pixels.
EM_JS(double, TextSize, (), { return parseFloat(getComputedStyle(document.documentElement).fontSize); });

// The width of `text` at `size` CSS pixels in the page's font, rounded up.
EM_JS(int, TextWidth, (const char* text, int size), {
  var canvas = Module.measure || (Module.measure = document.createElement("canvas").getContext("2d"));
  canvas.font = size + "px " + getComputedStyle(document.body).fontFamily;
  return Math.ceil(canvas.measureText(UTF8ToString(text)).width);
});

// What a control's padding and borders take of its width, in CSS pixels.
EM_JS(int, FrameWidth, (const char* id), {
  var style = getComputedStyle(document.getElementById(UTF8ToString(id)));
  return Math.ceil(["paddingLeft", "paddingRight", "borderLeftWidth", "borderRightWidth"]
    .reduce((sum, side) => sum + parseFloat(style[side]), 0));
});

EM_JS(void, SetCaptionSize, (double rem), { document.getElementById("Form1").style.fontSize = rem + "rem"; });

EM_JS(void, SetBoxText, (int index, const char* text), {
  var box = document.getElementById("txtVers" + index), value = UTF8ToString(text);
  if (box.value !== value) box.value = value;
});

EM_JS(void, SetTimer, (bool enabled, int ms), {
  if (enabled && !Module.timer1) Module.timer1 = setInterval(Module.tick, ms);
  if (!enabled) Module.timer1 = clearInterval(Module.timer1);
});

// The queue of events (see the top of this file); the focus on the play button; the service worker,
// which keeps the page for use offline.
EM_JS(void, Listen, (), {
  var queue = [], tick = false, handling = false;
  var handle = async () => {
    if (handling) return;
    handling = true;
    while (queue.length || tick) {
      var event = queue.shift();
      if (!event) {  // the timer's tick, once nothing else waits
        event = [2, 0, ""];
        tick = false;
      }
      await ccall("Form1Event", null, ["number", "number", "string"], event, { async: true });
    }
    handling = false;
  };
  var post = (event, index, text) => { queue.push([event, index, text]); handle(); };
  var control = (id) => document.getElementById(id);
  control("cmdPlay").addEventListener("click", () => post(0, 0, ""));
  control("sndStop").addEventListener("click", () => post(1, 0, ""));
  Module.tick = () => { tick = true; handle(); };
  [0, 1].forEach((index) => control("txtVers" + index).addEventListener("input", () =>
    post(3, index, control("txtVers" + index).value)));
  addEventListener("pagehide", () => post(4, 0, ""));
  control("cmdPlay").focus();
  if ("serviceWorker" in navigator) navigator.serviceWorker.register("sw.js").catch(() => {});
});

// clang-format on

class WebForm1 final : public Form1Controls {
 public:
  WebForm1() {
    using namespace Form1Layout;
    emscripten_set_window_title(kCaption);
    Make("main", "Form1", "", {0, 0, kClientWidth, kClientHeight});
    // In tab order: the play button, the stop button, the start box, the end box.
    Make("button", "cmdPlay", kCmdPlayCaption, kCmdPlay);
    Make("button", "sndStop", kSndStopCaption, kSndStop);
    Make("label", "Label1", kLabel1Caption, kLabel1, "txtVers0");
    Make("input", "txtVers0", kTxtVersInitial, kTxtVers0);
    Make("label", "Label2", kLabel2Caption, kLabel2, "txtVers1");
    Make("input", "txtVers1", kTxtVersInitial, kTxtVers1);
    FitCaptions();
    Listen();
    form_.Form_Load();
    // Every clip the song can ask for is fetched now, so that no verse waits for one.
    std::set<std::string> clips = {Module1::kSilenceClip};
    for (int verse = 1; verse <= 999; ++verse)
      for (const std::string& clip : Module1::VerseClips(std::to_string(verse))) clips.insert(clip);
    for (const std::string& clip : clips) platform::FetchClip(Module1::SoundDir + clip);
  }

  void Handle(int event, int index, const std::string& text) {
    switch (event) {
      case kPlayClick:
        return form_.cmdPlay_Click();
      case kStopClick:
        return form_.sndStop_Click();
      case kTimerTick:
        if (timer1_) form_.Timer1_Timer();  // not after the timer was stopped while it waited
        return;
      case kBoxChange:
        text_[index] = text;
        return form_.txtVers_Change(index);
      case kPageHide: {
        int cancel = 0;
        form_.Form_Unload(cancel);
        return SetTimer1Enabled(false);
      }
    }
  }

  // ---- Form1Controls ----
  std::string txtVersText(int index) override { return text_[index]; }
  void SetTxtVersText(int index, const std::string& text) override {
    text_[index] = text;
    SetBoxText(index, text.c_str());
    form_.txtVers_Change(index);
  }
  void SetTimer1Enabled(bool enabled) override {
    timer1_ = enabled;
    SetTimer(enabled, Form1Layout::kTimer1IntervalMs);
  }

 private:
  static void Make(const char* tag, const char* id, const char* text, const Rect& r,
                   const char* labels = nullptr) {
    MakeControl(tag, id, text, labels, r.left, r.top, r.width, r.height);
  }

  // The captions at the largest size, from the browser's text size down to 7 points, at which
  // each fits its control on one line; the boxes' text at the same size. In CSS pixels.
  static void FitCaptions() {
    const double textSize = TextSize(), pixel = textSize / 16;  // a pixel of the layout
    const int buttonFrame = FrameWidth("cmdPlay");
    const int size = Form1Layout::CaptionSize(
        static_cast<int>(std::lround(textSize)),
        static_cast<int>(std::lround(Form1Layout::kSmallestCaptionPoints * 96.0 / 72 * pixel)),
        [&](const Form1Layout::Caption& c) {
          return static_cast<int>(c.width * pixel) - (c.button ? buttonFrame : 0);
        },
        TextWidth);
    SetCaptionSize(size / textSize);
  }

  Form1 form_{*this};
  std::string text_[2] = {Form1Layout::kTxtVersInitial, Form1Layout::kTxtVersInitial};
  bool timer1_ = false;
};

WebForm1& Page() {
  static WebForm1 page;
  return page;
}

}  // namespace

// The queue's way in: one event at a time, see the top of this file.
extern "C" EMSCRIPTEN_KEEPALIVE void Form1Event(int event, int index, const char* text) {
  Page().Handle(event, index, text);
}

int main() {
  Page();
  return 0;
}
