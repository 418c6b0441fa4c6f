// The bitmap, mask and font records of compiled skin data: pictures of
// every depth survive a round trip pixel for pixel, and records that lie
// about their sizes are refused before anything is allocated for them.
#include <gtest/gtest.h>

#include <memory>

#include "../../foundation/support/LargestAllocation.h"
#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

BitmapPtr RoundTrip(const CDIBitmap& picture, DWORD* used = nullptr) {
  CMemoryStream out;
  OpenWritable(out);
  CSkinBase::WriteBitmap(out, picture);
  const std::string bytes = StreamBytes(out);
  BytesStream in(bytes);
  DWORD taken = 0;
  BitmapPtr read(CSkinBase::ReadBitmap(*in, static_cast<DWORD>(bytes.size()), &taken));
  EXPECT_EQ(taken, bytes.size());
  if (used) *used = taken;
  return read;
}

Bytes BitmapHead(DWORD kind, DWORD width, DWORD height, DWORD bits) { return Bytes().U32(kind).U32(width).U32(height).U32(bits); }

// A bitmap record with its length in front.
std::string Record(const Bytes& body) { return Bytes().U32(static_cast<DWORD>(body.size())).Raw(body.str()).str(); }

void ExpectBitmapRefused(const std::string& record, const char* text) {
  BytesStream in(record);
  ExpectError([&] { BitmapPtr(CSkinBase::ReadBitmap(*in, static_cast<DWORD>(record.size()), nullptr)); }, text);
}

}  // namespace

// ImageMagick writes its BMP files bottom-up with rows padded to four
// bytes; the records are top-down without padding and must read back to
// pictures ImageMagick sees as the originals.
TEST(BitmapRecord, ImageMagickPicturesOfEveryDepthRoundTripPixelForPixel) {
  RequireImageMagick();
  const std::string dir = twltest::MakeTempDir("records");
  const std::string source = dir + "/source.png";
  ASSERT_EQ(Shell("convert -size 61x43 -seed 7 plasma:fractal " + Quote(source)), 0);
  const struct {
    const char* name;
    const char* options;
    DWORD bits;
    bool palettized;
  } cases[] = {
      {"pal1", "-colors 2 -type Palette -compress None BMP3:", 1, true},
      {"pal4", "-colors 16 -compress None BMP3:", 4, true},
      {"pal8", "-colors 256 -type Palette -compress None BMP3:", 8, true},
      {"rgb565", "-define bmp:subtype=RGB565 BMP:", 16, false},
      {"rgb24", "-type TrueColor BMP3:", 24, false},
      {"argb32", "-alpha set BMP:", 32, false},
  };
  for (const auto& c : cases) {
    const std::string original = dir + "/" + c.name + ".bmp";
    std::string output;
    ASSERT_EQ(Shell("convert " + Quote(source) + " " + c.options + Quote(original), &output), 0) << c.name << output;
    CDIBitmap loaded;
    loaded.Load(original.c_str());
    ASSERT_EQ(loaded.GetFormat().bitsPerPixel, c.bits) << c.name;
    ASSERT_FALSE(loaded.IsTopDown()) << c.name << ": the source should be bottom-up";

    const BitmapPtr read = RoundTrip(loaded);
    EXPECT_TRUE(read->IsTopDown()) << c.name;
    EXPECT_EQ(read->GetRowPadding(), 0u) << c.name;
    EXPECT_EQ(read->GetFormat().IsPalettized(), c.palettized) << c.name;
    EXPECT_EQ(read->GetFormat().bitsPerPixel, c.bits) << c.name;
    EXPECT_EQ(read->GetFormat().alphaMask, 0u) << c.name << ": the fourth mask is not taken over";
    const std::string back = dir + "/" + c.name + "-back.bmp";
    WriteBMP(*read, back);
    EXPECT_EQ(DifferingPixels(original, back), "0") << c.name;
  }
}

TEST(BitmapRecord, ExtraBytesInsideTheRecordAreSkipped) {
  const std::string record = Record(BitmapHead(0, 1, 1, 32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0).U32(0x123456).Raw("tail"));
  const std::string bytes = record + "NEXT";
  BytesStream in(bytes);
  DWORD used = 0;
  BitmapPtr read(CSkinBase::ReadBitmap(*in, static_cast<DWORD>(bytes.size()), &used));
  EXPECT_EQ(used, record.size());
  EXPECT_EQ(in->GetPosition(), static_cast<LONGLONG>(record.size()));
  EXPECT_EQ(read->GetPixels()[0], 0x56);
}

TEST(BitmapRecord, HostileRecordsAreCorruptedBeforeAnythingIsAllocated) {
  const Bytes masks = Bytes().U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0);
  const struct {
    const char* name;
    std::string record;
    DWORD available;  // 0: the record's own size
  } cases[] = {
      {"a length beyond the bytes available", Record(BitmapHead(0, 1, 1, 32).Raw(masks.str()).U32(0)), 20},
      {"a length below the head", Bytes().U32(15).Zeros(15).str(), 0},
      {"seventeen colours at four bits", Record(BitmapHead(1, 1, 1, 4).U32(17).Zeros(17 * 4 + 1)), 0},
      {"no colours", Record(BitmapHead(1, 1, 1, 8).U32(0).Zeros(1)), 0},
      {"a palette longer than the record", Record(BitmapHead(1, 1, 1, 8).U32(200).Zeros(16)), 0},
      {"a palettized depth of 3 bits", Record(BitmapHead(1, 1, 1, 3).U32(1).Zeros(5)), 0},
      {"a true-colour depth of 12 bits", Record(BitmapHead(0, 1, 1, 12).Raw(masks.str()).Zeros(2)), 0},
      {"true colour without its masks", Record(BitmapHead(0, 1, 1, 32).Zeros(12)), 0},
      // 0x10000 x 0x10000 x 4 bytes wraps to 0 in 32 bits.
      {"a pixel size that wraps in 32 bits", Record(BitmapHead(0, 0x10000, 0x10000, 32).Raw(masks.str()).Zeros(8)), 0},
      // 0x80000000 x 0x80000000 x 4 bytes is 2^64, which wraps to 0 in 64 bits.
      {"a pixel size that wraps in 64 bits",
       Record(BitmapHead(0, 0x80000000, 0x80000000, 32).Raw(masks.str()).Zeros(8)), 0},
      {"four billion rows of one byte", Record(BitmapHead(0, 1, 0xFFFFFFFF, 8).Raw(masks.str()).Zeros(8)), 0},
      {"fewer pixel bytes than the rows need", Record(BitmapHead(0, 10, 10, 24).Raw(masks.str()).Zeros(299)), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LargestAllocation largest;
    BytesStream in(c.record);
    const DWORD available = c.available ? c.available : static_cast<DWORD>(c.record.size());
    ExpectError([&] { BitmapPtr(CSkinBase::ReadBitmap(*in, available, nullptr)); }, kCorrupted);
    EXPECT_LT(largest.Bytes(), 4096u);
  }
  ExpectBitmapRefused(std::string("\x10\0\0", 3), kCorrupted);
}

TEST(MaskRecord, RoundTripAndHostileSizes) {
  CMask mask;
  mask.Create(3, 2);
  const BYTE bytes[6] = {0, 1, 2, 0, 255, 1};
  std::copy(bytes, bytes + 6, mask.GetBytes());
  CMemoryStream out;
  OpenWritable(out);
  EXPECT_EQ(CSkinBase::WriteMask(out, mask), 14u);
  const std::string written = StreamBytes(out) + "xyz";  // bytes after the mask are skipped
  BytesStream in(written);
  std::unique_ptr<CMask> read(CSkinBase::ReadMask(*in, static_cast<DWORD>(written.size())));
  ASSERT_EQ(read->GetWidth(), 3);
  ASSERT_EQ(read->GetHeight(), 2);
  EXPECT_TRUE(std::equal(bytes, bytes + 6, read->GetBytes()));
  EXPECT_EQ(in->GetPosition(), static_cast<LONGLONG>(written.size()));

  const struct {
    const char* name;
    std::string record;
  } cases[] = {
      {"seven bytes", Bytes().U32(1).Zeros(3).str()},
      {"fewer bytes than the mask", Bytes().U32(4).U32(4).Zeros(15).str()},
      {"a size that wraps in 32 bits", Bytes().U32(0x10000).U32(0x10000).Zeros(4).str()},
      {"a side beyond the signed range", Bytes().U32(0x80000000).U32(0).str()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LargestAllocation largest;
    BytesStream hostile(c.record);
    ExpectError([&] { std::unique_ptr<CMask>(CSkinBase::ReadMask(*hostile, static_cast<DWORD>(c.record.size()))); },
                kCorrupted);
    EXPECT_LT(largest.Bytes(), 4096u);
  }
}

namespace {

// A font of three glyphs over a 32-bit strip 7 wide and 4 high.
std::unique_ptr<CBitmapFont> SmallFont() {
  CPixelFormat format;
  format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  BitmapPtr picture(NewObject<CDIBitmap>());
  picture->Create(9, 5, 0, format, true);
  for (DWORD i = 0; i < 9 * 5; ++i) reinterpret_cast<DWORD*>(picture->GetPixels())[i] = i * 0x010203;
  picture->SetColorKey(7);
  picture->SetColorKeyFlag(true);
  std::unique_ptr<BitmapGlyph[]> glyphs(new BitmapGlyph[3]{{2, 2}, {4, 3}, {7, 2}});
  auto font = std::make_unique<CBitmapFont>();
  font->Set(picture.release(), 1, 4, 3, std::move(glyphs));
  return font;
}

std::string FontRecord(const Bytes& table, const std::string& strip, bool stripFirst = false) {
  Bytes body;
  if (stripFirst) body.Chunk("FNTB", strip);
  body.Chunk("FNTC", table);
  if (!stripFirst) body.Chunk("FNTB", strip);
  return body.str();
}

std::string Strip(DWORD width, DWORD height) {
  return Record(BitmapHead(0, width, height, 8).U32(0xE0).U32(0x1C).U32(0x03).U32(0).Zeros(width * height));
}

}  // namespace

TEST(FontRecord, WrittenFontReadsBackWithItsGlyphsKeyAndPixels) {
  const auto font = SmallFont();
  CMemoryStream out;
  OpenWritable(out);
  CSkinBase::WriteFont(out, *font);
  const std::string bytes = StreamBytes(out);
  BytesStream in(bytes);
  std::unique_ptr<CBitmapFont> read(CSkinBase::ReadFont(*in, static_cast<DWORD>(bytes.size())));
  ASSERT_EQ(read->GetGlyphCount(), 3);
  EXPECT_EQ(read->GetGlyphHeight(), 4);
  EXPECT_EQ(read->GetFirstGlyphRow(), 0);
  // The strip starts at the leftmost glyph: x offsets move by 2.
  EXPECT_EQ(read->GetGlyphs()[0].x, 0);
  EXPECT_EQ(read->GetGlyphs()[1].x, 2);
  EXPECT_EQ(read->GetGlyphs()[2].x, 5);
  EXPECT_EQ(read->GetGlyphs()[2].width, 2);
  const CDIBitmap& strip = *read->GetBitmap();
  ASSERT_EQ(strip.GetWidth(), 7u);
  ASSERT_EQ(strip.GetHeight(), 4u);
  EXPECT_TRUE(strip.HasColorKey());
  EXPECT_EQ(strip.GetColorKey(), 7u);
  const DWORD* original = reinterpret_cast<const DWORD*>(font->GetBitmap()->GetPixels());
  const DWORD* copied = reinterpret_cast<const DWORD*>(strip.GetPixels());
  for (DWORD y = 0; y < 4; ++y)
    for (DWORD x = 0; x < 7; ++x) ASSERT_EQ(copied[y * 7 + x], original[(y + 1) * 9 + x + 2]) << x << "," << y;
}

TEST(FontRecord, FaultyRecordsAreCorrupted) {
  const Bytes oneGlyph = Bytes().U32(4).U32(0).U32(1).U32(0).U32(3);
  const struct {
    const char* name;
    std::string record;
  } cases[] = {
      {"FNTB before FNTC", FontRecord(oneGlyph, Strip(3, 4), true)},
      {"two FNTC", Bytes().Chunk("FNTC", oneGlyph).Chunk("FNTC", oneGlyph).Chunk("FNTB", Strip(3, 4)).str()},
      {"two FNTB", Bytes().Chunk("FNTC", oneGlyph).Chunk("FNTB", Strip(3, 4)).Chunk("FNTB", Strip(3, 4)).str()},
      {"257 glyphs", FontRecord(Bytes().U32(4).U32(0).U32(257).Zeros(257 * 8), Strip(3, 4))},
      {"no glyphs", FontRecord(Bytes().U32(4).U32(0).U32(0), Strip(3, 4))},
      {"height 0", FontRecord(Bytes().U32(0).U32(0).U32(1).U32(0).U32(3), Strip(3, 4))},
      {"a glyph table longer than its chunk", FontRecord(Bytes().U32(4).U32(0).U32(2).U32(0).U32(3), Strip(3, 4))},
      {"FNTC of 11 bytes", FontRecord(Bytes().U32(4).U32(0).Zeros(3), Strip(3, 4))},
      {"no FNTB", Bytes().Chunk("FNTC", oneGlyph).str()},
      // The glyph rectangles must lie inside the strip.
      {"a glyph reaching past the strip", FontRecord(Bytes().U32(4).U32(0).U32(1).U32(1).U32(3), Strip(3, 4))},
      {"a glyph offset that wraps", FontRecord(Bytes().U32(4).U32(0).U32(1).U32(0xFFFFFFFE).U32(3), Strip(3, 4))},
      {"a strip lower than the font", FontRecord(oneGlyph, Strip(3, 3))},
      {"a sub-chunk overrunning the record", Bytes().Tag("FNTC").U32(100).Raw(oneGlyph.str()).str()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BytesStream in(c.record);
    ExpectError([&] { std::unique_ptr<CBitmapFont>(CSkinBase::ReadFont(*in, static_cast<DWORD>(c.record.size()))); },
                kCorrupted);
  }
}

TEST(FontRecord, UnknownSubChunksAreSkipped) {
  const std::string record = Bytes()
                                 .Chunk("XTRA", "abc")
                                 .Chunk("FNTC", Bytes().U32(4).U32(9).U32(1).U32(0).U32(3))
                                 .Chunk("NOTE", "12345")
                                 .Chunk("FNTB", Strip(3, 4))
                                 .str();
  BytesStream in(record);
  std::unique_ptr<CBitmapFont> read(CSkinBase::ReadFont(*in, static_cast<DWORD>(record.size())));
  EXPECT_EQ(read->GetGlyphCount(), 1);
  EXPECT_EQ(read->GetBitmap()->GetColorKey(), 9u);
}
