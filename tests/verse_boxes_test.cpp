// The rules of the two verse boxes, applied on every change of their text.

#include <gtest/gtest.h>

#include <string>

#include "fake_controls.h"
#include "window/Form1.h"

namespace {

struct Row {
  const char* what;
  int box;            // the box typed into: 0 start, 1 end
  const char* typed;  // its text after the user's change
  const char* start;  // both boxes afterwards
  const char* end;
};

const Row kRows[] = {
    {"start box emptied", 0, "", "1", "1"},
    {"end box emptied", 1, "", "7", "1"},
    {"1500 in the end box", 1, "1500", "7", "999"},
    {"1000 in the start box", 0, "1000", "999", "999"},
    {"999 stays", 0, "999", "999", "999"},
    {"999.5 is above 999", 1, "999.5", "7", "999"},
    {"999,5 is above 999", 0, "999,5", "999", "999"},
    {"999,0 is not above 999", 0, "999,0", "999,0", "999,0"},
    {"0 stays", 0, "0", "0", "0"},
    {"-3 stays", 0, "-3", "-3", "-3"},
    {"-5000 stays", 1, "-5000", "7", "-5000"},
    {"2,5 stays", 0, "2,5", "2,5", "2,5"},
    {"12 in the start box", 0, "12", "12", "12"},
    {"the end box never touches the start box", 1, "12", "7", "12"},
    {"letters stay as typed", 0, "abc", "abc", "abc"},
    {"a lone minus stays", 1, "-", "7", "-"},
    {"a lone comma stays", 0, ",", ",", ","},
    {"a huge number", 0, "99999999999999999999999", "999", "999"},
};

TEST(VerseBoxes, KeepBothBoxesValid) {
  for (const bool nested : {false, true}) {
    for (const Row& row : kRows) {
      FakeControls controls;
      Form1 form(controls);
      controls.text[0] = "7";
      controls.text[1] = "9";
      controls.text[row.box] = row.typed;
      if (nested) controls.reraise = &form;
      form.txtVers_Change(row.box);
      EXPECT_EQ(controls.text[0], row.start) << row.what << (nested ? " (nested events)" : "");
      EXPECT_EQ(controls.text[1], row.end) << row.what << (nested ? " (nested events)" : "");
    }
  }
}

// Typing 12 into the start box one key at a time: the end box follows every key.
TEST(VerseBoxes, TheEndBoxFollowsEveryKeyInTheStartBox) {
  FakeControls controls;
  Form1 form(controls);
  controls.text[1] = "30";
  std::string shown;
  for (const char* typed : {"", "1", "12"}) {
    controls.text[0] = typed;
    form.txtVers_Change(0);
    shown += controls.text[1] + " ";
  }
  EXPECT_EQ(shown, "1 1 12 ");
}

}  // namespace
