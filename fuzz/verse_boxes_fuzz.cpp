// Fuzzes the verse boxes: any sequence of texts typed into either box, with and without the
// change event raised again by the program's own writes (as Win32 does and FLTK does not). After
// every change both boxes must hold what the rules allow, and every number read must be the
// number the C library reads from the same text.

#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "fake_controls.h"
#include "song/NumberText.h"
#include "window/Form1.h"

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& got, const std::string& want) {
  std::fprintf(stderr, "%s: got [%s], expected [%s]\n", what.c_str(), got.c_str(), want.c_str());
  std::abort();
}

std::string Show(std::optional<double> number) {
  return number ? std::to_string(*number) : "no number";
}

// ReadNumber against strtod: where ReadNumber finds a number, strtod must read the same one from
// the text with spaces trimmed and a decimal comma made a point. Below the smallest normal double
// ReadNumber may give 0 where strtod gives a subnormal; no verse number tells them apart.
void CheckReadNumber(const std::string& text) {
  const std::optional<double> number = ReadNumber(text);
  if (!number) return;
  const std::size_t first = text.find_first_not_of(" \t");
  std::string plain = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
  for (char& c : plain)
    if (c == ',') c = '.';
  char* end = nullptr;
  const double want = std::strtod(plain.c_str(), &end);
  if (*end != '\0') Fail("ReadNumber of [" + text + "]", Show(number), "no number (strtod)");
  if (*number != want && !(std::fabs(*number) < 1e-300 && std::fabs(want) < 1e-300))
    Fail("ReadNumber of [" + text + "]", Show(number), Show(want));

  const std::optional<std::int16_t> verse = ReadVerseNumber(text);
  const double whole = std::floor(*number);
  const bool fits = whole >= -32768 && whole <= 32767;
  if (verse.has_value() != fits || (verse && *verse != whole))
    Fail("ReadVerseNumber of [" + text + "]", verse ? std::to_string(*verse) : "nothing",
         fits ? std::to_string(whole) : "nothing");
}

// What a box must hold after the user typed `typed` into it: "1" for nothing, "999" for a number
// above 999, and else the text as typed.
std::string Allowed(const std::string& typed) {
  if (typed.empty()) return "1";
  const std::optional<double> number = ReadNumber(typed);
  return number && *number > 999 ? "999" : typed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C");  // strtod reads a point, whatever the machine's locale
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  FakeControls controls;
  Form1 form(controls);
  if (input.ConsumeBool()) controls.reraise = &form;
  while (input.remaining_bytes() > 0) {
    const int box = input.ConsumeBool() ? 1 : 0;
    const std::string typed = input.ConsumeRandomLengthString(40);
    CheckReadNumber(typed);
    const std::string other = controls.text[1 - box];
    controls.text[box] = typed;
    form.txtVers_Change(box);

    const std::string want = Allowed(typed);
    if (controls.text[box] != want) Fail("box " + std::to_string(box), controls.text[box], want);
    if (box == 0 && controls.text[1] != want)
      Fail("end box after the start box", controls.text[1], want);
    if (box == 1 && controls.text[0] != other)
      Fail("start box after the end box", controls.text[0], other);
  }
  return 0;
}
