// Reading the text of a verse-number box as a number, and writing a verse number as text. Every
// reader in the program goes through ReadNumber, so a box means the same number everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Reads `text` as a decimal number. Accepted: optional spaces around it, an optional "+" or "-",
// digits, and an optional fraction after "." or "," (the Norwegian decimal comma), with at least
// one digit in all: "12", " -3 ", "2,5", "999.5", ",5", "7.". Anything else (letters, a lone
// sign or separator, an exponent, two separators) is no number and gives nothing. A number too
// large for a double reads as plus or minus infinity.
std::optional<double> ReadNumber(const std::string& text);

// ReadNumber rounded down (toward minus infinity: "-2.5" gives -3) to a verse number. Gives
// nothing for text that is no number or whose whole number lies outside -32768...32767.
std::optional<std::int16_t> ReadVerseNumber(const std::string& text);

// A verse number as verse-number text: decimal digits, "-" when negative, no leading zeros.
std::string VerseText(std::int16_t verse);
