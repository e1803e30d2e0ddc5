// Form1 on Linux, with FLTK: creates the window and its controls and forwards their events to
// Form1's handlers. Everything the handlers do lives in Form1.cpp.

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>

#include <string>

#include "window/Form1.h"

namespace {

// A font size at which every caption fits its control on one line.
constexpr int kFontSize = 12;

using Form1Layout::Rect;

class FltkForm1 final : public Form1Controls {
 public:
  FltkForm1() {
    using namespace Form1Layout;
    window_ = new Fl_Window(kClientWidth, kClientHeight, kCaption);
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
  bool Timer1Enabled() override { return timer1_; }
  void SetTimer1Enabled(bool enabled) override {
    if (enabled && !timer1_) Fl::add_timeout(kInterval, &FltkForm1::OnTimer1, this);
    if (!enabled) Fl::remove_timeout(&FltkForm1::OnTimer1, this);
    timer1_ = enabled;
  }

 private:
  static constexpr double kInterval = Form1Layout::kTimer1IntervalMs / 1000.0;

  Fl_Button* MakeButton(const Rect& r, const char* caption, Fl_Callback* onClick) {
    auto* button = new Fl_Button(r.left, r.top, r.width, r.height, caption);
    button->labelsize(kFontSize);
    button->callback(onClick, this);
    return button;
  }

  Fl_Input* MakeInput(const Rect& r) {
    auto* input = new Fl_Input(r.left, r.top, r.width, r.height);
    input->textsize(kFontSize);
    input->value(Form1Layout::kTxtVersInitial);
    // Every change the user makes (typing, deleting, pasting, cutting); FLTK does not report the
    // program's own value() calls, which Form1 does not need.
    input->when(FL_WHEN_CHANGED);
    input->callback(&FltkForm1::OnTxtVersChange, this);
    return input;
  }

  void MakeLabel(const Rect& r, const char* caption) {
    auto* label = new Fl_Box(r.left, r.top, r.width, r.height, caption);
    label->labelsize(kFontSize);
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
