// Reading box text as a number.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "song/NumberText.h"

namespace {

TEST(NumberText, ReadsDecimalNumbersAndNothingElse) {
  constexpr double kNone = NAN;  // marks "no number"
  const struct {
    const char* text;
    double value;
  } rows[] = {
      {"1", 1},         {"999", 999},     {"0", 0},
      {"-3", -3},       {"+4", 4},        {"  12 ", 12},
      {"\t7", 7},       {"2,5", 2.5},     {"2.5", 2.5},
      {"999.5", 999.5}, {"999,5", 999.5}, {",5", 0.5},
      {"7.", 7},        {"-0,25", -0.25}, {"0007", 7},
      {"", kNone},      {" ", kNone},     {"-", kNone},
      {",", kNone},     {".", kNone},     {"abc", kNone},
      {"12a", kNone},   {"1 2", kNone},   {"1.2.3", kNone},
      {"1,2.3", kNone}, {"1e3", kNone},   {"0x10", kNone},
      {"--1", kNone},   {"+-1", kNone},   {"1-", kNone},
      {"inf", kNone},   {"nan", kNone},   {"\xc3\xa5", kNone},
  };
  for (const auto& row : rows) {
    const std::optional<double> got = ReadNumber(row.text);
    if (std::isnan(row.value)) {
      EXPECT_FALSE(got) << "\"" << row.text << "\" read as " << got.value_or(0) << ", want none";
    } else {
      EXPECT_TRUE(got && *got == row.value)
          << "\"" << row.text << "\" read as " << (got ? std::to_string(*got) : "none") << ", want "
          << row.value;
    }
  }
}

TEST(NumberText, HugeNumbersReadAsInfinityAndTinyOnesAsZero) {
  const std::string huge(400, '9');
  EXPECT_EQ(ReadNumber(huge), HUGE_VAL);
  EXPECT_EQ(ReadNumber("-" + huge), -HUGE_VAL);
  EXPECT_EQ(ReadNumber("0," + std::string(400, '0') + "1"), 0.0);
}

TEST(NumberText, VerseNumbersRoundDownAndMustFit) {
  const struct {
    const char* text;
    std::optional<std::int16_t> verse;
  } rows[] = {
      {"3", 3},         {"2,5", 2},         {"-2,5", -3},  {"-0,5", -1},
      {"32767", 32767}, {"32767,9", 32767}, {"32768", {}}, {"-32768", -32768},
      {"-32768,5", {}}, {"abc", {}},        {"", {}},      {"99999999999999999999", {}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadVerseNumber(row.text), row.verse) << "\"" << row.text << "\"";
  }
  EXPECT_EQ(VerseText(-32768), "-32768");
  EXPECT_EQ(VerseText(47), "47");
}

}  // namespace
