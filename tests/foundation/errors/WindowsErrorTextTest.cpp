#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/errors/WindowsError.h"

namespace {

constexpr const char* kUnknown = "An unknown error occurred.";

// The codes that have a message of their own, as closed ranges.
const std::vector<std::pair<DWORD, DWORD>> kCodesWithText = {
    {0, 34},      {36, 36},     {38, 39},     {50, 72},     {80, 80},     {82, 89},     {100, 114},
    {117, 162},   {164, 164},   {167, 167},   {170, 170},   {173, 174},   {180, 180},   {182, 183},
    {186, 203},   {205, 210},   {212, 212},   {214, 216},   {230, 234},   {240, 240},   {254, 255},
    {259, 259},   {266, 267},   {275, 278},   {282, 282},   {288, 288},   {298, 301},   {317, 317},
    {487, 487},   {534, 536},   {994, 999},   {1001, 1022}, {1051, 1082}, {1100, 1132}, {1140, 1142},
    {1150, 1173}, {1200, 1251}, {1300, 1338}, {1340, 1395}, {1400, 1461}, {1500, 1503}, {1601, 1616},
    {1700, 1728}, {1730, 1730}, {1732, 1737}, {1739, 1775}, {1777, 1832}, {1898, 1938}, {2000, 2005},
    {2108, 2108}, {2202, 2202}, {2250, 2250}, {2300, 2310}, {2401, 2402}, {2404, 2404}, {3000, 3011},
    {4000, 4006}, {4100, 4100}, {4200, 4211}, {4300, 4320}, {4350, 4352}, {4390, 4391}, {5001, 5033},
    {6000, 6008}, {6118, 6118},
};

bool HasText(DWORD code) {
  for (const auto& [first, last] : kCodesWithText)
    if (code >= first && code <= last) return true;
  return false;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

// Every listed code, and no other, has its own message ending in a blank and
// the code; a row with the wrong number or a missing row shows up here.
TEST(WindowsErrorText, ExactlyTheListedCodesHaveAMessageEndingInTheirNumber) {
  int rows = 0;
  for (DWORD code = 0; code <= 7000; ++code) {
    const std::string text = CWindowsError::GetErrorText(code);
    if (!HasText(code)) {
      EXPECT_EQ(text, kUnknown) << "code " << code;
      continue;
    }
    ++rows;
    const std::string suffix = " " + std::to_string(code);
    EXPECT_TRUE(EndsWith(text, suffix)) << "code " << code << ": " << text;
    EXPECT_GT(text.size(), suffix.size() + 5) << "code " << code;
    EXPECT_NE(text.substr(0, text.size() - suffix.size()).back(), ' ') << "code " << code;
  }
  EXPECT_EQ(rows, 836);
}

TEST(WindowsErrorText, KnownMessages) {
  const std::vector<std::pair<DWORD, std::string>> cases = {
      {0, "The operation completed successfully. 0"},
      {5, "Access is denied. 5"},
      {183, "Cannot create a file when that file already exists. 183"},
      {2202, "The specified username is invalid. 2202"},
      {6118, "The list of servers for this workgroup is not currently available 6118"},
      {35, kUnknown},
      {4, "The system cannot open the file. 4"},
      {0xFFFFFFFFu, kUnknown},  // -1 taken as unsigned
      {0x80000005u, kUnknown},
      {6119, kUnknown},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(CWindowsError::GetErrorText(code), text) << "code " << code;
}

TEST(WindowsError, ConstructorRecordsTheLastErrorAndLeavesIt) {
  SetLastError(ERROR_CLASS_ALREADY_EXISTS);
  CWindowsError error("WindowError.Caption", "Window error", "WindowError.CreateEdit", "Error creating edit control");
  EXPECT_EQ(error.GetCode(), DWORD{ERROR_CLASS_ALREADY_EXISTS});
  EXPECT_EQ(GetLastError(), DWORD{ERROR_CLASS_ALREADY_EXISTS});
  EXPECT_STREQ(error.GetCaption(), "Window error");
  EXPECT_STREQ(error.GetText(), "Error creating edit control");
  EXPECT_TRUE(error.IsKindOf(&CError::ClassRecord));
}
