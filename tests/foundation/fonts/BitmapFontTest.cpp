// Bitmap fonts: glyph tables read from the markers of a font bitmap,
// adopted tables, the stored form, and stored fonts whose glyphs would lie
// outside their bitmap.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "LargestAllocation.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/ClassManager.h"
#include "foundation/storage/Storage.h"
#include "foundation/storage/StorageError.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/MemoryStream.h"
#include "support/TestPaths.h"

namespace {

constexpr DWORD K = 0x00FF00FF;  // the transparent colour of the samples
constexpr DWORD M = 0x00000000;  // their marker colour
constexpr DWORD G = 0x00FFFFFF;  // glyph pixels

CPixelFormat Rgb(DWORD bits) {
  CPixelFormat format;
  format.SetMasks(bits, 0xFF0000, 0xFF00, 0xFF);
  return format;
}

BYTE* RowAt(CDIBitmap& bitmap, DWORD y) {
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  return bitmap.GetPixels() + stride * (bitmap.IsTopDown() ? y : bitmap.GetHeight() - 1 - y);
}

// A font bitmap of 24 or 32 bits: `topRow`, then glyph pixels.
CDIBitmap* MarkedBitmap(const std::vector<DWORD>& topRow, DWORD height = 3, DWORD bits = 24, bool topDown = true) {
  CDIBitmap* bitmap = new CDIBitmap;
  bitmap->Create(static_cast<DWORD>(topRow.size()), height, CDIBitmap::kPadToFourBytes, Rgb(bits), topDown);
  for (DWORD y = 0; y < height; ++y) {
    BYTE* row = RowAt(*bitmap, y);
    for (DWORD x = 0; x < topRow.size(); ++x) {
      const DWORD value = y == 0 ? topRow[x] : G - x;
      for (DWORD b = 0; b < bits / 8; ++b) row[x * (bits / 8) + b] = static_cast<BYTE>(value >> (8 * b));
    }
  }
  return bitmap;
}

DWORD PixelAt(CDIBitmap& bitmap, DWORD x, DWORD y) {
  const DWORD bytes = bitmap.GetFormat().bitsPerPixel / 8;
  DWORD value = 0;
  for (DWORD b = 0; b < bytes; ++b) value |= static_cast<DWORD>(RowAt(bitmap, y)[x * bytes + b]) << (8 * b);
  return value;
}

std::vector<std::pair<INT, INT>> GlyphsOf(const CBitmapFont& font) {
  std::vector<std::pair<INT, INT>> glyphs;
  for (INT i = 0; i < font.GetGlyphCount(); ++i) glyphs.emplace_back(font.GetGlyphs()[i].x, font.GetGlyphs()[i].width);
  return glyphs;
}

TEST(BitmapFont, MarkersOfTheTopRowGiveTheGlyphTable) {
  using Glyphs = std::vector<std::pair<INT, INT>>;
  const struct {
    const char* name;
    std::vector<DWORD> topRow;
    Glyphs glyphs;
  } cases[] = {
      {"two markers", {K, M, K, K, M, K, K, K, K, K}, {{1, 3}, {4, 5}}},
      {"a marker in the last column adds no glyph", {K, M, K, K, K, M}, {{1, 4}}},
      {"no further marker: one glyph up to the last column but one", {K, M, K, K, K, K}, {{1, 4}}},
      {"markers side by side", {K, M, M, M, K}, {{1, 1}, {2, 1}, {3, 1}}},
      {"three columns", {K, M, K}, {{1, 1}}},
      {"two columns: no glyph", {K, M}, {}},
      {"one column: no glyph", {K}, {}},
  };
  for (const auto& c : cases) {
    CBitmapFont font;
    font.SetBitmap(MarkedBitmap(c.topRow));
    ASSERT_NE(font.GetBitmap(), nullptr) << c.name;
    EXPECT_EQ(GlyphsOf(font), c.glyphs) << c.name;
    EXPECT_EQ(font.GetFirstGlyphRow(), 1) << c.name;
    EXPECT_EQ(font.GetGlyphHeight(), 2) << c.name;
  }
}

TEST(BitmapFont, TopLeftPixelBecomesTheColourKeyUnlessTheBitmapHasOne) {
  CBitmapFont font;
  font.SetBitmap(MarkedBitmap({K, M, K, K, M, K}));
  EXPECT_TRUE(font.GetBitmap()->HasColorKey());
  EXPECT_EQ(font.GetBitmap()->GetColorKey(), K);
  EXPECT_EQ(font.GetBitmap()->GetFormat().bitsPerPixel, 24u) << "a top-down bitmap keeps its format";

  // The top-left pixel here is a glyph colour, not the key.
  CDIBitmap* keyed = MarkedBitmap({G, M, K, K, M, K}, 3, 24, false);
  keyed->SetColorKey(K);
  keyed->SetColorKeyFlag(true);
  font.SetBitmap(keyed);
  EXPECT_EQ(font.GetBitmap()->GetColorKey(), K);
  EXPECT_FALSE(font.GetBitmap()->IsTopDown()) << "a keyed bitmap is not converted";
  EXPECT_EQ(GlyphsOf(font), (std::vector<std::pair<INT, INT>>{{1, 3}, {4, 1}}));
}

TEST(BitmapFont, BottomUpBitmapWithoutKeyBecomesTrueColourTopDown) {
  CBitmapFont font;
  font.SetBitmap(MarkedBitmap({K, M, K, K, M, K}, 4, 24, false));
  CDIBitmap& bitmap = *font.GetBitmap();
  EXPECT_TRUE(bitmap.IsTopDown());
  EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 32u);
  EXPECT_EQ(bitmap.GetFormat().redMask, 0xFF0000u);
  EXPECT_EQ(bitmap.GetColorKey(), K);
  EXPECT_EQ(PixelAt(bitmap, 0, 0) & 0xFFFFFF, K) << "the picture stays upright";
  EXPECT_EQ(PixelAt(bitmap, 3, 3) & 0xFFFFFF, G - 3);
  EXPECT_EQ(GlyphsOf(font), (std::vector<std::pair<INT, INT>>{{1, 3}, {4, 1}}));
  EXPECT_EQ(font.GetGlyphHeight(), 3);
}

TEST(BitmapFont, KeyOfASubBytePaletteBitmapIsItsFirstPixelNotItsFirstByte) {
  CColorPalette* palette = new CColorPalette;
  const DWORD entries[16] = {0, 0, 0, 0x00FF00FF, 0, 0x00000000};
  palette->SetEntries(16, entries);
  CPixelFormat format;
  format.SetIndexed(4, palette);
  palette->Release();

  CDIBitmap* bitmap = new CDIBitmap;
  bitmap->Create(6, 2, CDIBitmap::kPadToFourBytes, format, true);
  // Top row: indices 3 5 3 3 5 3 (key, marker, ...), packed high nibble first.
  const BYTE top[] = {0x35, 0x33, 0x53};
  std::copy(std::begin(top), std::end(top), RowAt(*bitmap, 0));
  CBitmapFont font;
  font.SetBitmap(bitmap);
  ASSERT_NE(font.GetBitmap(), nullptr);
  EXPECT_EQ(font.GetBitmap()->GetColorKey(), 3u);
  EXPECT_EQ(GlyphsOf(font), (std::vector<std::pair<INT, INT>>{{1, 3}, {4, 1}}));
}

TEST(BitmapFont, BitmapWithoutPixelsLeavesTheFontEmpty) {
  CBitmapFont font;
  font.SetBitmap(MarkedBitmap({K, M, K}));
  font.SetBitmap(new CDIBitmap);
  EXPECT_EQ(font.GetBitmap(), nullptr);
  EXPECT_EQ(font.GetGlyphCount(), 0);
  EXPECT_EQ(font.GetGlyphs(), nullptr);
}

// A picture that tells when it is deleted.
class WatchedBitmap : public CDIBitmap {
 public:
  explicit WatchedBitmap(bool& deleted) : m_Deleted(deleted) {}
  ~WatchedBitmap() override { m_Deleted = true; }

 private:
  bool& m_Deleted;
};

// The font takes the caller's one reference: a picture it cannot analyse is
// released, so the caller's pointer is gone unless it kept a reference.
TEST(BitmapFont, APictureThatCannotBeAnalysedIsReleasedAndNotShown) {
  bool deleted = false;
  CBitmapFont font;
  EXPECT_FALSE(font.SetBitmap(new WatchedBitmap(deleted))) << "a picture without pixels";
  EXPECT_TRUE(deleted) << "the one reference was released";
  EXPECT_EQ(font.GetBitmap(), nullptr);

  deleted = false;
  WatchedBitmap* kept = new WatchedBitmap(deleted);
  kept->AddRef();  // the caller keeps a reference of its own
  EXPECT_FALSE(font.SetBitmap(kept));
  EXPECT_FALSE(deleted);
  EXPECT_EQ(font.GetBitmap(), nullptr);
  EXPECT_FALSE(kept->HasPixels()) << "still usable through the caller's own reference";
  kept->Release();
  EXPECT_TRUE(deleted);

  CDIBitmap* good = MarkedBitmap({K, M, K});
  EXPECT_TRUE(font.SetBitmap(good));
  EXPECT_EQ(font.GetBitmap(), good);
}

TEST(BitmapFont, SetAdoptsATableThatFitsAndRefusesOneThatDoesNot) {
  auto table = [](std::vector<BitmapGlyph> glyphs) {
    std::unique_ptr<BitmapGlyph[]> entries(new BitmapGlyph[glyphs.size() + 1]);
    std::copy(glyphs.begin(), glyphs.end(), entries.get());
    return entries;
  };
  CBitmapFont font;
  font.Set(MarkedBitmap({K, M, K, K, K, K}, 5), 0, 5, 2, table({{0, 2}, {2, 4}}));
  EXPECT_EQ(GlyphsOf(font), (std::vector<std::pair<INT, INT>>{{0, 2}, {2, 4}}));
  EXPECT_EQ(font.GetFirstGlyphRow(), 0);
  EXPECT_EQ(font.GetGlyphHeight(), 5);

  const struct {
    const char* name;
    INT firstRow, height;
    std::vector<BitmapGlyph> glyphs;
  } refused[] = {
      {"past the right edge", 0, 5, {{0, 2}, {2, 5}}},
      {"left of the bitmap", 0, 5, {{-1, 2}}},
      {"negative width", 0, 5, {{3, -1}}},
      {"x + width beyond 32 bits", 0, 5, {{0x7FFFFFFF, 1}}},
      {"rows below the bitmap", 1, 5, {{0, 1}}},
      {"negative first row", -1, 2, {{0, 1}}},
  };
  for (const auto& c : refused) {
    try {
      font.Set(MarkedBitmap({K, M, K, K, K, K}, 5), c.firstRow, c.height, static_cast<INT>(c.glyphs.size()),
               table(c.glyphs));
      ADD_FAILURE() << c.name << " was adopted";
    } catch (CError* error) {
      EXPECT_STREQ(error->GetText(), "Invalid bitmap data.") << c.name;
      DisposeError(error);
    }
    EXPECT_EQ(font.GetBitmap(), nullptr) << c.name;
    EXPECT_EQ(font.GetGlyphCount(), 0) << c.name;
  }
}

// The bytes the font stores.
std::string StoredBytes(CBitmapFont& font) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, false);
  CStorage out;
  out.Open(&stream, CStorage::kStore, 1, 4096);
  font.Serialize(out);
  out.Close();
  std::string bytes(reinterpret_cast<const char*>(stream.GetBuffer()),
                    static_cast<size_t>(stream.GetLength(true, nullptr)));
  stream.Close();
  return bytes;
}

// Stores the font into memory and loads it into `loaded`.
void StoreAndLoad(CBitmapFont& font, CBitmapFont& loaded) {
  const std::string bytes = StoredBytes(font);
  CMemoryStream stream;
  BYTE* block = new BYTE[bytes.size()];
  std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  CStorage in;
  in.Open(&stream, CStorage::kLoad, 1, 4096);
  loaded.Serialize(in);
  in.Close();
  stream.Close();
}

TEST(BitmapFont, StoredFontLoadsWithTheSameBitmapAndTable) {
  CBitmapFont font;
  font.SetBitmap(MarkedBitmap({K, M, K, K, M, K, K}, 4, 24, false));
  CBitmapFont loaded;
  StoreAndLoad(font, loaded);
  ASSERT_NE(loaded.GetBitmap(), nullptr);
  const CDIBitmap& a = *font.GetBitmap();
  const CDIBitmap& b = *loaded.GetBitmap();
  EXPECT_EQ(b.GetWidth(), a.GetWidth());
  EXPECT_EQ(b.GetHeight(), a.GetHeight());
  EXPECT_TRUE(b.GetFormat().HasSameLayout(a.GetFormat()));
  EXPECT_EQ(b.IsTopDown(), a.IsTopDown());
  ASSERT_EQ(b.GetDataSize(), a.GetDataSize());
  EXPECT_EQ(std::vector<BYTE>(b.GetPixels(), b.GetPixels() + b.GetDataSize()),
            std::vector<BYTE>(a.GetPixels(), a.GetPixels() + a.GetDataSize()));
  EXPECT_EQ(GlyphsOf(loaded), GlyphsOf(font));
  EXPECT_EQ(loaded.GetGlyphHeight(), font.GetGlyphHeight());
  EXPECT_EQ(loaded.GetFirstGlyphRow(), 1);

  CBitmapFont empty, loadedEmpty;
  loadedEmpty.SetBitmap(MarkedBitmap({K, M, K}));
  StoreAndLoad(empty, loadedEmpty);
  EXPECT_EQ(loadedEmpty.GetBitmap(), nullptr);
  EXPECT_EQ(loadedEmpty.GetGlyphCount(), 0);
}

// The stored bytes of a font, as python3's struct module lays them out
// from the same description (an independent statement of the layout).
std::string PythonBytes(const std::string& expression) {
  const std::string file = twltest::MakeTempDir("python") + "/font.py";
  twltest::WriteFile(file, "import struct\n" + expression + "\nprint(out.hex())\n");
  std::string hex;
  FILE* pipe = popen(("/usr/bin/python3 " + file).c_str(), "r");
  EXPECT_NE(pipe, nullptr) << "python3 is missing: install the package python3 (scripts/deps.sh test)";
  char buffer[4096];
  size_t got = 0;
  while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) hex.append(buffer, got);
  EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << "python3 failed";
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size() && hex[i] != '\n'; i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

TEST(BitmapFont, StoredFormMatchesTheLayoutBuiltByPython) {
  // A bottom-up 24-bit picture is analysed as 32 bits, top row first.
  CBitmapFont trueColor;
  ASSERT_TRUE(trueColor.SetBitmap(MarkedBitmap({K, M, K, K, M, K, K}, 4, 24, false)));
  EXPECT_EQ(StoredBytes(trueColor),
            PythonBytes("K, M, G, w, h = 0xFF00FF, 0, 0xFFFFFF, 7, 4\n"
                        "rows = [[K, M, K, K, M, K, K]] + [[G - x for x in range(w)] for y in range(1, h)]\n"
                        "pixels = b''.join(struct.pack('<I', v) for row in rows for v in row)\n"
                        "out = struct.pack('<11I', 1, w, h, 0, 1, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0)\n"
                        "out += struct.pack('<I', len(pixels)) + pixels\n"
                        "glyphs = [(1, 3), (4, 2)]\n"
                        "out += struct.pack('<I', len(glyphs)) + b''.join(struct.pack('<ii', *g) for g in glyphs)"));

  // A palettized picture with its own key is kept as it is: its palette
  // block is stored, and its row padding.
  CDIBitmap* indexed = new CDIBitmap;
  CColorPalette* palette = new CColorPalette;
  const DWORD entries[3] = {0x00FF00FF, 0x00000000, 0x00FFFFFF};
  palette->SetEntries(3, entries);
  CPixelFormat format;
  format.SetIndexed(8, palette);
  palette->Release();
  indexed->Create(5, 2, CDIBitmap::kPadToFourBytes, format, true);
  const BYTE rows[16] = {0, 1, 0, 1, 0, 0, 0, 0, 2, 2, 2, 2, 2, 0, 0, 0};
  std::memcpy(indexed->GetPixels(), rows, sizeof rows);
  indexed->SetColorKey(0);
  indexed->SetColorKeyFlag(true);
  CBitmapFont palettized;
  ASSERT_TRUE(palettized.SetBitmap(indexed));
  EXPECT_EQ(StoredBytes(palettized),
            PythonBytes("out = struct.pack('<11I', 1, 5, 2, 3, 1, 8, 0x60, 0, 0, 0, 0)\n"
                        "out += struct.pack('<4I', 3, 0xFF00FF, 0, 0xFFFFFF)\n"
                        "pixels = bytes([0, 1, 0, 1, 0, 0, 0, 0, 2, 2, 2, 2, 2, 0, 0, 0])\n"
                        "out += struct.pack('<I', len(pixels)) + pixels\n"
                        "glyphs = [(1, 2), (3, 1)]\n"
                        "out += struct.pack('<I', len(glyphs)) + b''.join(struct.pack('<ii', *g) for g in glyphs)"));

  CBitmapFont empty;
  EXPECT_EQ(StoredBytes(empty), PythonBytes("out = struct.pack('<13I', 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0)"))
      << "an empty bitmap body, data size 0, no glyphs";
}

// Loads a font file of data/ into the font; the error it throws, if any.
CError* LoadFixture(const char* name, CBitmapFont& font) {
  const std::string path = twltest::SourceDir() + "/tests/foundation/fonts/data/" + name;
  CDiskFileStream stream;
  stream.Open(path.c_str(), kStreamRead | kStreamShareRead, false);
  CStorage storage;
  storage.Open(&stream, CStorage::kLoad, 1, 4096);
  try {
    font.Serialize(storage);
  } catch (CError* error) {
    return error;
  }
  return nullptr;
}

TEST(BitmapFont, StoredGlyphsOutsideTheirBitmapAreRefused) {
  CBitmapFont font;
  ASSERT_EQ(LoadFixture("two-glyphs.font", font), nullptr) << "the well-formed sample loads";
  EXPECT_EQ(GlyphsOf(font), (std::vector<std::pair<INT, INT>>{{1, 2}, {3, 1}}));

  for (const char* name : {"glyph-past-right-edge.font", "glyph-negative-x.font", "glyph-negative-width.font",
                           "glyph-width-wraps.font", "negative-glyph-count.font", "glyphs-without-bitmap.font"}) {
    font.SetBitmap(MarkedBitmap({K, M, K}));
    CError* error = LoadFixture(name, font);
    ASSERT_NE(error, nullptr) << name << " was loaded";
    EXPECT_STREQ(error->GetText(), "Invalid bitmap data.") << name;
    DisposeError(error);
    EXPECT_EQ(font.GetBitmap(), nullptr) << name << ": a failed load leaves the font empty";
    EXPECT_EQ(font.GetGlyphCount(), 0) << name;
  }
}

TEST(BitmapFont, HugeStoredCountIsNotBelievedBeforeItsEntriesArrive) {
  CBitmapFont font;
  CError* error = nullptr;
  size_t largest = 0;
  {
    LargestAllocation watch;
    error = LoadFixture("huge-glyph-count.font", font);
    largest = watch.Bytes();
  }
  ASSERT_TRUE(IsKindOf<CStorageError>(error));
  EXPECT_EQ(static_cast<CStorageError*>(error)->GetCode(), CStorageError::kEndOfStream);
  DisposeError(error);
  EXPECT_LT(largest, 1u << 20) << "allocated for the stored count";
  EXPECT_EQ(font.GetBitmap(), nullptr);
}

TEST(BitmapFont, RegisteredAsCreatable) {
  const CClassRecord* record = GetClassManager().FindClass("CBitmapFont");
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->create, nullptr);
  std::unique_ptr<CTypedObject> made(record->create());
  EXPECT_EQ(static_cast<CBitmapFont*>(made.get())->GetBitmap(), nullptr);
}

}  // namespace
