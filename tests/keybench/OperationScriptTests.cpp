#include "OperationScript.h"

#include <gtest/gtest.h>

using namespace keybench;

TEST(OperationScript, ReadsEveryKindOfLine) {
  const char* text =
      "# a comment line\n"
      "\n"
      "AutoCompute 0 -0.25\n"
      "SelectBackgroundColor 10 20 30 40   # trailing comment\r\n"
      "  CleanBackground\t0 0 1 1\n"
      "AdjustSpill 5 6 7 8 1\n"
      "FineTune 0x00FF80 0.5 -1 0\n"
      "SetAlgorithm 2\n"
      "SetSpillReplaceColor -1\n"
      "SetSpillReplaceColor 8355711\n"
      "SetSpillReplaceDefocus\n"
      "ProtectArea ellipse 100 200 300 400\n"
      "GarbageArea rectangle 925 0 1000 1000";
  const auto calls = OperationScript::Parse(text);
  ASSERT_EQ(calls.size(), 11u);
  EXPECT_EQ(calls[0].op, KeyerOp::AutoCompute);
  EXPECT_EQ(calls[0].line, 3);
  EXPECT_FLOAT_EQ(calls[0].factors[1], -0.25f);
  EXPECT_EQ(calls[1].op, KeyerOp::SelectBackgroundColor);
  EXPECT_EQ(calls[1].sample, (PixelRect{10, 20, 30, 40}));
  EXPECT_TRUE(calls[1].IsSample());
  EXPECT_EQ(calls[2].sample, (PixelRect{0, 0, 1, 1}));
  EXPECT_EQ(calls[3].op, KeyerOp::AdjustSpill);
  EXPECT_EQ(calls[3].flag, 1);
  EXPECT_EQ(calls[4].value, 0x00FF80);
  EXPECT_FLOAT_EQ(calls[4].factors[1], -1.0f);
  EXPECT_EQ(calls[5].value, 2);
  EXPECT_EQ(calls[6].value, -1);
  EXPECT_EQ(calls[7].value, 0x7F7F7F);
  EXPECT_EQ(calls[8].op, KeyerOp::SetSpillReplaceDefocus);
  EXPECT_EQ(calls[9].area, (AreaRecord{AreaRecord::Ellipse, 100, 200, 300, 400}));
  EXPECT_EQ(calls[10].line, 13);
  EXPECT_EQ(OperationScript::AreaListText(calls, KeyerOp::ProtectArea), " 1 100 200 300 400");
  EXPECT_EQ(OperationScript::AreaListText(calls, KeyerOp::GarbageArea), " 0 925 0 1000 1000");

  // Written out and read back, the calls are the same.
  const auto again = OperationScript::Parse(OperationScript::Format(calls));
  ASSERT_EQ(again.size(), calls.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(OperationScript::FormatCall(again[i]), OperationScript::FormatCall(calls[i]));
    EXPECT_EQ(again[i].op, calls[i].op);
    EXPECT_EQ(again[i].sample, calls[i].sample);
    EXPECT_EQ(again[i].area, calls[i].area);
    EXPECT_EQ(again[i].value, calls[i].value);
    for (int f = 0; f < 3; ++f) EXPECT_EQ(again[i].factors[f], calls[i].factors[f]);
  }
}

TEST(OperationScript, ABadLineNamesItsLineAndReason) {
  struct Case {
    const char* line;
    const char* reason;
  } cases[] = {
      {"Frobnicate 1 2", "unknown keyer call \"Frobnicate\""},
      {"autocompute 0 0", "unknown keyer call"},
      {"AutoCompute 0", "AutoCompute takes"},
      {"AutoCompute 0 0 0", "AutoCompute takes"},
      {"AutoCompute zero 0", "\"zero\" is not a number"},
      {"AutoCompute nan 0", "\"nan\" is not a number"},
      {"CleanBackground 1 2 3", "CleanBackground takes"},
      {"CleanBackground 1 2 3 4.5", "\"4.5\" is not a whole number"},
      {"CleanBackground 5 5 5 9", "empty"},
      {"CleanBackground -1 0 4 4", "pixel 0"},
      {"CleanBackground 0 0 99999999999 4", "out of range"},
      {"AdjustMatte 0 0 4 4 2", "1 (more) or 0 (less)"},
      {"SetAlgorithm 3", "0, 1 or 2"},
      {"SetSpillReplaceColor 0x1000000", "0 to 0xFFFFFF"},
      {"FineTune -1 0 0 0", "0 to 0xFFFFFF"},
      {"SetSpillReplaceComplement now", "takes (no arguments)"},
      {"GarbageArea square 0 0 10 10", "unknown area shape \"square\""},
      {"ProtectArea rectangle 10 0 10 10", "empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string text = std::string("# header\nAutoCompute 0 0\n") + c.line + "\nAutoCompute 0 0\n";
    try {
      OperationScript::Parse(text, "keys.txt");
      ADD_FAILURE() << "accepted";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.Line(), 3);
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("keys.txt(3): ", 0), 0u) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}
