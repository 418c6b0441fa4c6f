// Skin messages name files and bitmaps the user chose; such a name must show
// as it is, even when it looks like another placeholder of the message.
#include <gtest/gtest.h>

#include <string>

#include "skins/base/SkinErrors.h"

TEST(SkinText, ValuesFromFilesAreNeverSearchedAgain) {
  const CStr text = SkinText("SkinTextTest.Message", "The bitmap '%BITMAP%' must be %WIDTH% wide.",
                             {{"%BITMAP%", "odd%WIDTH%name"}, {"%WIDTH%", "12"}});
  EXPECT_EQ(std::string(text.c_str()), "The bitmap 'odd%WIDTH%name' must be 12 wide.");
}
