// Form1 on Linux, with FLTK: creates the window and its controls and forwards their events to
// Form1's handlers. Everything the handlers do lives in Form1.cpp.

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>
#include <cstdlib>
#include <string>

#include "window/Form1.h"

// The program's icon, a PNG file built into it by cmake/linux.cmake.
extern const unsigned char kIconPng[];
extern const int kIconPngSize;

namespace {

using Form1Layout::Rect;

// Font sizes in pixels at 96 dpi: the text of the boxes, and the captions at most and at least
// (7 points, still easy to read).
constexpr int kFontSize = 12;
constexpr int kSmallestCaptionSize = 9;

// The screen's dots per inch, as the desktop sets it for fonts (the Xft.dpi resource), or else as
// the screen reports its size.
int ScreenDpi() {
  fl_open_display();
  if (const char* xft = XGetDefault(fl_display, "Xft", "dpi")) {
    const int dpi = std::atoi(xft);
    if (dpi > 0) return dpi;
  }
  float h = 96, v = 96;
  Fl::screen_dpi(h, v);
  return v > 0 ? static_cast<int>(std::lround(v)) : 96;
}

class FltkForm1 final : public Form1Controls {
 public:
  FltkForm1() : dpi_(ScreenDpi()) {
    using namespace Form1Layout;
    window_ = new Fl_Window(Scale(kClientWidth), Scale(kClientHeight), kCaption);
    // The captions' size: the largest at which each fits its control in the font FLTK has.
    captionSize_ = CaptionSize(
        Scale(kFontSize), Scale(kSmallestCaptionSize),
        [this](const Caption& c) {
          return Scale(c.width) - (c.button ? Fl::box_dw(FL_UP_BOX) : 6);
        },
        [](const char* text, int size) {
          fl_font(FL_HELVETICA, size);
          return static_cast<int>(std::ceil(fl_width(text)));
        });
    // Created in tab order: the play button first, so it has the focus when the window opens.
    cmdPlay_ = MakeButton(kCmdPlay, kCmdPlayCaption, [](Fl_Widget*, void* self) {
      static_cast<FltkForm1*>(self)->form_.cmdPlay_Click();
    });
    sndStop_ = MakeButton(kSndStop, kSndStopCaption, [](Fl_Widget*, void* self) {
      static_cast<FltkForm1*>(self)->form_.sndStop_Click();
    });
    txtVers_[0] = MakeInput(kTxtVers0);
    txtVers_[1] = MakeInput(kTxtVers1);
    MakeLabel(kLabel1, kLabel1Caption);
    MakeLabel(kLabel2, kLabel2Caption);
    window_->end();
    window_->callback(&FltkForm1::OnClose, this);
    // The desktop entry names this class, so that a dock ties the window to it.
    window_->xclass("brumbesang");
    Fl_PNG_Image icon(nullptr, kIconPng, kIconPngSize);
    window_->icon(&icon);
    form_.Form_Load();
  }

  ~FltkForm1() override { delete window_; }  // and with it every control

  int Run() {
    window_->show();
    return Fl::run();
  }

  // ---- Form1Controls ----
  std::string txtVersText(int index) override { return txtVers_[index]->value(); }
  void SetTxtVersText(int index, const std::string& text) override {
    txtVers_[index]->value(text.c_str());
  }
  void SetTimer1Enabled(bool enabled) override {
    if (enabled && !timer1_) Fl::add_timeout(kInterval, &FltkForm1::OnTimer1, this);
    if (!enabled) Fl::remove_timeout(&FltkForm1::OnTimer1, this);
    timer1_ = enabled;
  }

 private:
  static constexpr double kInterval = Form1Layout::kTimer1IntervalMs / 1000.0;

  // Pixels at 96 dpi on this screen, rounded as the Windows program rounds them.
  int Scale(int pixels) const { return (pixels * dpi_ + 48) / 96; }

  Fl_Button* MakeButton(const Rect& r, const char* caption, Fl_Callback* onClick) {
    auto* button =
        new Fl_Button(Scale(r.left), Scale(r.top), Scale(r.width), Scale(r.height), caption);
    button->labelsize(captionSize_);
    button->callback(onClick, this);
    return button;
  }

  Fl_Input* MakeInput(const Rect& r) {
    auto* input = new Fl_Input(Scale(r.left), Scale(r.top), Scale(r.width), Scale(r.height));
    input->textsize(Scale(kFontSize));
    input->value(Form1Layout::kTxtVersInitial);
    // Every change the user makes (typing, deleting, pasting, cutting); FLTK does not report the
    // program's own value() calls, which Form1 does not need.
    input->when(FL_WHEN_CHANGED);
    input->callback(&FltkForm1::OnTxtVersChange, this);
    return input;
  }

  void MakeLabel(const Rect& r, const char* caption) {
    auto* label = new Fl_Box(Scale(r.left), Scale(r.top), Scale(r.width), Scale(r.height), caption);
    label->labelsize(captionSize_);
    label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_TOP);
  }

  static void OnTimer1(void* self) {
    auto* form = static_cast<FltkForm1*>(self);
    form->form_.Timer1_Timer();
    // The tick may have ended the run; otherwise the timer goes on at a steady 100 ms.
    if (form->timer1_) Fl::repeat_timeout(kInterval, &FltkForm1::OnTimer1, self);
  }

  static void OnTxtVersChange(Fl_Widget* box, void* self) {
    auto* form = static_cast<FltkForm1*>(self);
    form->form_.txtVers_Change(box == form->txtVers_[0] ? 0 : 1);
  }

  static void OnClose(Fl_Widget*, void* self) {
    // FLTK closes a window on Escape too; a Windows form does not, so neither does this one.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    auto* form = static_cast<FltkForm1*>(self);
    int cancel = 0;
    form->form_.Form_Unload(cancel);
    form->SetTimer1Enabled(false);
    form->window_->hide();
  }

  const int dpi_;
  int captionSize_ = kFontSize;
  Form1 form_{*this};
  Fl_Window* window_ = nullptr;
  Fl_Button* cmdPlay_ = nullptr;
  Fl_Button* sndStop_ = nullptr;
  Fl_Input* txtVers_[2] = {nullptr, nullptr};
  bool timer1_ = false;
};

}  // namespace

int main() {
  FltkForm1 form;
  return form.Run();
}
