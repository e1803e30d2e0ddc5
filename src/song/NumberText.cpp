#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<double> ReadNumber(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsSpace(text[first])) ++first;
  while (last > first && IsSpace(text[last - 1])) --last;

  // Rebuild the number in the one form from_chars takes, whatever the user's locale: digits with
  // an optional "-" and ".". The sign is kept apart because from_chars rejects a leading "+".
  bool negative = false;
  std::size_t i = first;
  if (i < last && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::string plain;
  bool separator = false;
  bool digit = false;
  for (; i < last; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digit = true;
      plain += c;
    } else if ((c == '.' || c == ',') && !separator) {
      separator = true;
      plain += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  if (plain.front() == '.') plain.insert(plain.begin(), '0');

  double value = 0;
  const auto [end, error] =
      std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
  if (error == std::errc::result_out_of_range) {
    // Hundreds of digits: far above any limit the program compares with, or, when the whole
    // part is all zeros, vanishingly small.
    const bool tiny = plain.find_first_not_of('0') >= plain.find('.');
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (error != std::errc() || end != plain.data() + plain.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<std::int16_t> ReadVerseNumber(const std::string& text) {
  const std::optional<double> number = ReadNumber(text);
  if (!number) return std::nullopt;
  const double whole = std::floor(*number);
  if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
        whole <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(whole);
}

std::string VerseText(std::int16_t verse) {
  return std::to_string(verse);
}
