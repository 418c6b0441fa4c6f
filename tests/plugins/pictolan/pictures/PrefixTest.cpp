// Every prefix of three small pictures, in steps of 64 bytes, through the
// player's loop in this sanitized process and through twltool: each ends
// with a picture or a refusal, never with a crash or a signal.
#include <gtest/gtest.h>

#include <string>

#include "PictureFixtures.h"
#include "support/TestPaths.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "pluginhost/hostapi/HostApi.h"
#include "plugins/pictolan/pictures/PictureLoader.h"

namespace {

using picturetest::PicturePath;

TEST(PrefixTest, EveryPrefixOfSmallPicturesLoadsOrIsRefusedCleanly) {
  const std::string made[] = {"prefix.jpg", "prefix.png", "prefix.tif"};
  picturetest::Shell("convert '" + picturetest::SourcePicture() + "' -resize 24x18 -quality 80 '" +
                     PicturePath(made[0]) + "' && convert '" + picturetest::SourcePicture() +
                     "' -resize 24x18 -interlace PNG '" + PicturePath(made[1]) + "' && convert '" +
                     picturetest::SourcePicture() + "' -resize 24x18 -compress LZW '" + PicturePath(made[2]) + "'");
  const pictolan::ImageFileTypeList types = pictolan::MakeImageFileTypes(GetHostApiTable());
  for (const std::string& name : made) {
    const std::string whole = twltest::ReadFile(PicturePath(name));
    std::string cuts;
    for (size_t size = 0; size < whole.size(); size += 64) {
      SCOPED_TRACE(name + " cut at " + std::to_string(size));
      picturetest::BytesStream stream(whole.substr(0, size));
      CDIBitmap bitmap;
      pictolan::LoadPictureWithTypes(types, stream, name.c_str(), bitmap, nullptr, *GetHostApiTable());
      const std::string cut = PicturePath(std::to_string(size) + "-" + name);
      twltest::WriteFile(cut, whole.substr(0, size));
      cuts += " '" + cut + "'";
    }
    // The tool's exit codes: 0 or 1, nothing else.
    std::string codes;
    twltest::RunCommand("for f in" + cuts + "; do TWL_HEADLESS=1 '" + twltest::ProgramPath("twltool") +
                            "' picture \"$f\" \"$f.png\" >/dev/null 2>&1; echo $?; done | sort -u",
                        &codes);
    EXPECT_TRUE(codes == "0\n1\n" || codes == "1\n") << name << ": " << codes;
  }
}

}  // namespace
