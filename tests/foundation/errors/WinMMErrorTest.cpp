#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/errors/MCIError.h"
#include "foundation/errors/WinMMError.h"
#include "foundation/kernel/Localizer.h"

TEST(WinMMErrorText, RowsAndFamilyRanges) {
  const std::vector<std::pair<DWORD, std::string>> cases = {
      {0, "no error occurred"},
      {7, "memory allocation error"},
      {20, "driver does not call DriverCallback"},
      {21, "an unkown error occurred"},
      {31, "an unkown error occurred"},
      {35, "(wave error) device is synchronous"},
      {36, "(wave error) an unknown error occurred"},
      {63, "(wave error) an unknown error occurred"},
      {64, "(midi error) header not prepared"},
      {72, "(midi error) an unknown error occurred"},
      {96, "(timer error) an unknown error occurred"},
      {97, "(mixer error) request not completed"},
      {100, "(timer error) an unknown error occurred"},
      {129, "(mixer error) time struct size"},
      {160, "(joystick error) an unknown error occurred"},
      {167, "(joystick error) joystick is unplugged"},
      {255, "(joystick error) an unknown error occurred"},
      {257, "(mmio error) file not found"},
      {272, "(mmio error) invalid file"},
      {1024, "(mixer error) invalid line"},
      {1027, "(mixer error) an unknown error occurred"},
      {1039, "(mixer error) an unknown error occurred"},
      {1040, "an unknown error occurred"},
      {0xFFFFFFFFu, "an unknown error occurred"},
  };
  for (const auto& [code, text] : cases) EXPECT_STREQ(CWinMMError::GetErrorText(code), text.c_str()) << code;
}

// The system has no MCI texts on this platform, so the MCI codes take the
// unknown-text path, both inside WinMM texts and as MCI errors.
TEST(WinMMErrorText, MciCodesWithoutSystemTextTakeTheUnknownText) {
  for (DWORD code : {256u, 273u, 300u, 1023u})
    EXPECT_STREQ(CWinMMError::GetErrorText(code), "(mci error) an unknown error occurred") << code;
  EXPECT_STREQ(CMCIError::GetErrorText(300), "an unknown error occurred");
}

TEST(WinMMErrorText, RowTextsComeFromTheLocalizerUnderTheSystemName) {
  GetLocalizer().AddString("CWinMMError.MMSYSERR_NOMEM", "kein Speicher");
  GetLocalizer().AddString("CWinMMError.WaveError.Unknown", "Wellenfehler");
  EXPECT_STREQ(CWinMMError::GetErrorText(7), "kein Speicher");
  EXPECT_STREQ(CWinMMError::GetErrorText(40), "Wellenfehler");
}

TEST(WinMMError, ConstructedFromACode) {
  CWinMMError error(2);
  EXPECT_STREQ(error.GetCaption(), "Windows Multimedia error");
  EXPECT_STREQ(error.GetText(), "device ID out of range");
  EXPECT_EQ(error.GetCode(), 2u);

  CMCIError mci(301);
  EXPECT_STREQ(mci.GetCaption(), "Windows MCI error");
  EXPECT_STREQ(mci.GetText(), "an unknown error occurred");
  EXPECT_EQ(mci.GetCode(), 301u);
}

TEST(WinMMError, CloneIsAPlainError) {
  CWinMMError error(2);
  CError* copy = error.Clone();
  EXPECT_EQ(copy->GetClassRecord(), &CError::ClassRecord);
  EXPECT_STREQ(copy->GetText(), "device ID out of range");
  EXPECT_TRUE(copy->IsHeapObject());
  DisposeError(copy);
}
