// Form1's controls without a window. With `reraise`, every text the program writes raises the
// change handler again at once, as Win32 edit boxes do; without it, none does, as in FLTK.
#pragma once

#include <stdexcept>
#include <string>

#include "window/Form1.h"

class FakeControls : public Form1Controls {
 public:
  std::string text[2] = {"1", "1"};
  bool timer = false;
  Form1* reraise = nullptr;
  int depth = 0;  // how deep the nested change events went

  std::string txtVersText(int index) override { return text[index]; }
  void SetTxtVersText(int index, const std::string& value) override {
    text[index] = value;
    if (reraise == nullptr) return;
    if (++depth > 50) throw std::runtime_error("change events nest without end");
    reraise->txtVers_Change(index);
    --depth;
  }
  bool Timer1Enabled() override { return timer; }
  void SetTimer1Enabled(bool enabled) override { timer = enabled; }
};
