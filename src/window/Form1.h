// The program's one window, Form1, as far as it is the same on every toolkit: what its event
// handlers do. A front end per toolkit creates the real controls, implements Form1Controls over
// them and calls the handlers when their events arrive. No toolkit header belongs here.
#pragma once

#include <functional>
#include <string>

// The layout of Form1 in pixels at 96 dots per inch. Each front end places its controls by it,
// scaled to the screen's dots per inch.
namespace Form1Layout {
struct Rect {
  int left, top, width, height;
};
inline constexpr const char* kCaption = "Syng en brumbesang!";  // UTF-8
inline constexpr int kClientWidth = 257;
inline constexpr int kClientHeight = 114;
inline constexpr Rect kLabel1 = {16, 16, 105, 17};
inline constexpr Rect kTxtVers0 = {16, 32, 105, 19};
inline constexpr Rect kLabel2 = {16, 56, 105, 17};
inline constexpr Rect kTxtVers1 = {16, 72, 105, 19};
inline constexpr Rect kCmdPlay = {136, 32, 105, 25};
inline constexpr Rect kSndStop = {136, 72, 105, 25};
inline constexpr const char* kLabel1Caption = "Starte på vers nr.:";
inline constexpr const char* kLabel2Caption = "Avslutte på vers nr.:";
inline constexpr const char* kCmdPlayCaption = "Spill vers!";
inline constexpr const char* kSndStopCaption = "Stop";
inline constexpr const char* kTxtVersInitial = "1";
inline constexpr int kTimer1IntervalMs = 100;

// The captions of the labels and the buttons, each with the width of its control.
struct Caption {
  const char* text;
  int width;
  bool button;
};
inline constexpr Caption kCaptions[] = {{kLabel1Caption, kLabel1.width, false},
                                        {kLabel2Caption, kLabel2.width, false},
                                        {kCmdPlayCaption, kCmdPlay.width, true},
                                        {kSndStopCaption, kSndStop.width, true}};

// The smallest size of the captions, in points: smaller text is no longer easy to read.
inline constexpr int kSmallestCaptionPoints = 7;

// The font size for the captions: the largest from `normal` down to `smallest` at which every
// caption fits on one line in the room its control leaves it, which `room` gives; `smallest`
// when not even that size fits everywhere. `width` gives the width of a text at a size. Sizes and
// widths are in the front end's units, whatever they are.
int CaptionSize(int normal, int smallest, const std::function<int(const Caption&)>& room,
                const std::function<int(const char* text, int size)>& width);
}  // namespace Form1Layout

// What Form1's handlers need of the real window: the texts of the two verse boxes (the control
// array txtVers: 0 is the start box, 1 the end box) and the timer that drives a verse run.
class Form1Controls {
 public:
  virtual ~Form1Controls() = default;
  virtual std::string txtVersText(int index) = 0;
  virtual void SetTxtVersText(int index, const std::string& text) = 0;
  virtual void SetTimer1Enabled(bool enabled) = 0;
};

class Form1 {
 public:
  explicit Form1(Form1Controls& controls) : controls_(controls) {}

  // The window opens: the clips are looked for beside the executable.
  void Form_Load();
  // The window closes (it always does; Cancel is left alone): any sound is cut.
  void Form_Unload(int& Cancel);
  // Starts a verse run at the start box's verse. Text that is no verse number starts nothing.
  void cmdPlay_Click();
  // Cuts the sound and ends the run.
  void sndStop_Click();
  // One step of a verse run, every 100 ms while the timer is on: when the sound is free, sings
  // the current verse and moves on, ending the run after the end box's verse.
  void Timer1_Timer();
  // The text of box `Index` changed, by typing or by the program: a box is never left empty or
  // above 999, and the end box follows every change of the start box.
  void txtVers_Change(int Index);

 private:
  Form1Controls& controls_;
};
