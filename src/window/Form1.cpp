#include "Form1.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/Platform.h"
#include "song/Module1.h"
#include "song/NumberText.h"

void Form1::Form_Load() {
  Module1::SoundDir = platform::ExecutableFolder() + platform::kDirSeparator;
}

void Form1::Form_Unload(int& /*Cancel*/) {
  Module1::StopSound();
}

void Form1::cmdPlay_Click() {
  const std::optional<std::int16_t> start = ReadVerseNumber(controls_.txtVersText(0));
  if (!start) return;  // no number, or none a run could count from: nothing starts
  Module1::CurrentVerse = *start;
  controls_.SetTimer1Enabled(true);
}

void Form1::sndStop_Click() {
  Module1::StopSound();
  controls_.SetTimer1Enabled(false);
}

void Form1::Timer1_Timer() {
  if (Module1::SoundIsBusy()) return;
  Module1::SingVerse(VerseText(Module1::CurrentVerse));

  // The end box is read after every verse, so a change to it takes effect at the next verse.
  // End text that is no number ends the run here, and so does the last verse a run can count to.
  const std::optional<double> end = ReadNumber(controls_.txtVersText(1));
  if (!end || Module1::CurrentVerse == std::numeric_limits<std::int16_t>::max()) {
    controls_.SetTimer1Enabled(false);
    return;
  }
  ++Module1::CurrentVerse;
  if (std::floor(*end) < Module1::CurrentVerse) controls_.SetTimer1Enabled(false);
}

// Writes below raise this handler again on toolkits that report a program's own changes (Win32
// does, the GTK front end does not). Each write leaves a text that the nested run finds valid, and
// the end box's handler writes nothing to the start box, so the nesting ends at once.
void Form1::txtVers_Change(int Index) {
  if (controls_.txtVersText(Index).empty()) controls_.SetTxtVersText(Index, "1");
  // Text that is no number is left as typed: it is not a number above 999.
  const std::optional<double> number = ReadNumber(controls_.txtVersText(Index));
  if (number && *number > 999) controls_.SetTxtVersText(Index, "999");
  if (Index == 0) controls_.SetTxtVersText(1, controls_.txtVersText(0));
}

int Form1Layout::CaptionSize(int normal, int smallest,
                             const std::function<int(const Caption&)>& room,
                             const std::function<int(const char* text, int size)>& width) {
  const auto fits = [&](int size) {
    for (const Caption& caption : kCaptions)
      if (width(caption.text, size) > room(caption)) return false;
    return true;
  };
  int size = normal;
  while (size > smallest && !fits(size)) --size;
  return size;
}
