// The texts of DirectDraw and DirectSound result codes: by code, with a
// translation by key, and the text of unknown codes.
#include <gtest/gtest.h>

#include "display/directx/DirectXErrorTexts.h"
#include "foundation/kernel/Localizer.h"

namespace {

TEST(DirectXErrorTexts, CodesGiveTheirTextsAndUnknownCodesTheUnknownText) {
  struct Row {
    CStr (*text)(DWORD);
    DWORD code;
    const char* expected;
  };
  const Row rows[] = {
      {&GetDirectSoundErrorText, 0x88780096, "The buffer memory has been lost and must be restored."},
      {&GetDirectSoundErrorText, 0, "The request completed successfully."},
      {&GetDirectSoundErrorText, 0x80070057, "An invalid parameter was passed to the returning function."},
      {&GetDirectSoundErrorText, 0x12345678, "An unknown error occurred."},
      {&GetDirectDrawErrorText, 0x8876024E, "The display is currently in an unsupported mode."},
      {&GetDirectDrawErrorText, 0x80070057, "One or more of the parameters passed to the method are incorrect."},
      {&GetDirectDrawErrorText, 0x887601C2,
       "Access to the surface is refused because the surface memory is gone. The DirectDrawSurface object "
       "representing this surface should have the IDirectDrawSurface2::Restore method called on it."},
      {&GetDirectDrawErrorText, 0x88760245,
       "An attempt was made to set the cooperative level when it was already set to exclusive."},
      {&GetDirectDrawErrorText, 0x88760001, "An unknown error occurred."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(row.text(row.code), row.expected);
  }
}

TEST(DirectXErrorTexts, TranslationsAreFoundByTheirKeys) {
  GetLocalizer().AddString("CDirectSoundError.Unkown", "Unbekannter Fehler.");
  GetLocalizer().AddString("CDirectDrawError.DDERR_SURFACELOST", "Oberflaeche verloren.");
  GetLocalizer().AddString("CDirectDrawError.DDERR_NOTPAGELOCKED", "nicht gesperrt");
  EXPECT_EQ(GetDirectSoundErrorText(0x12345678), "Unbekannter Fehler.");
  EXPECT_EQ(GetDirectDrawErrorText(0x887601C2), "Oberflaeche verloren.");
  EXPECT_EQ(GetDirectDrawErrorText(0x887602A8), "nicht gesperrt") << "the last row of the table";
}

}  // namespace
