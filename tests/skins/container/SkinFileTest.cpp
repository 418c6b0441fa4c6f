// The compiled skin file as a container: what the writer makes passes a
// python3 check that knows only struct and zlib; files python3 builds in
// both DATA forms read back; and every structural fault of the container
// is refused the way the file format says, a changed packed byte before
// zlib ever sees it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include <zlib.h>

#include "../../foundation/support/LargestAllocation.h"
#include "../support/SkinTestSupport.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/compiled/SkinElementChunks.h"
#include "skins/compiled/SkinFile.h"
#include "skins/compiled/SkinFileFormat.h"
#include "skins/info/SkinInfo.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

// A skin of what exists so far: information, colours and fonts.
struct ColorsAndFonts : CSkinElementChunks {
  ColorsAndFonts() : CSkinElementChunks({&info, &colors, &fonts}) {}
  CSkinInfo info;
  CSkinColorSet colors;
  CSkinFontSet fonts;
};

void WriteFile(const std::string& path, ColorsAndFonts& content, bool packed) {
  CStream* stream = GetFileSystem().Open(path.c_str(), kStreamWrite | kStreamSeek | kStreamCreateAlways, 0);
  WriteSkinFile(*stream, content, packed);
  stream->Close();
}

void ReadBytes(const std::string& bytes, ColorsAndFonts& content) {
  BytesStream in(bytes);
  ReadSkinFile(*in, content);
}

std::string Colr(DWORD first) {
  Bytes colours;
  colours.U32(33);
  for (DWORD i = 0; i < 33; ++i) colours.U32(first + i);
  return colours.str();
}

std::string Info() { return Bytes().Chunk("IPVR", Bytes().U32(0x1003C).U32(0x1004B)).str(); }

std::string Stored(const std::string& inner) { return Bytes().U32(0).Raw(inner).str(); }

// The packed form with the check value and sizes it should have; the
// hooks may change the packed bytes or the announced values.
struct Packing {
  int unpackedDelta = 0;
  std::string (*alter)(std::string) = nullptr;
  bool recomputeCheck = true;
};
std::string Packed(const std::string& inner, const Packing& how = {}) {
  uLongf size = compressBound(inner.size());
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(inner.data()), inner.size(),
            Z_DEFAULT_COMPRESSION);
  packed.resize(size);
  const DWORD check = static_cast<DWORD>(crc32(0, reinterpret_cast<const Bytef*>(packed.data()), packed.size()));
  if (how.alter) packed = how.alter(packed);
  const DWORD finalCheck =
      how.recomputeCheck ? static_cast<DWORD>(crc32(0, reinterpret_cast<const Bytef*>(packed.data()), packed.size())) : check;
  return Bytes()
      .U32(1)
      .U32(static_cast<DWORD>(inner.size() + how.unpackedDelta))
      .U32(finalCheck)
      .U32(static_cast<DWORD>(packed.size()))
      .Raw(packed)
      .str();
}

std::string File(const Bytes& chunks) {
  return Bytes().Raw(std::string(kSkinMagic, 12)).U32(static_cast<DWORD>(chunks.size())).Raw(chunks.str()).str();
}

const std::string kInner = Bytes().Chunk("COLR", Colr(100)).Chunk("FONT", "").str();

}  // namespace

TEST(SkinFile, WrittenFilePassesThePythonCheck) {
  RequirePython();
  ColorsAndFonts content;
  content.info.m_Name = "Ink";
  content.info.m_Artist = "Someone";
  content.info.m_MinVersion = 0x1003C;
  content.info.m_DevelopedForVersion = 0x1004B;
  content.colors.m_Colors[5] = 0x00123456;
  const std::string path = twltest::MakeTempDir("file") + "/ink.s4u";
  WriteFile(path, content, true);

  std::string output;
  ASSERT_EQ(Shell("python3 " + Quote(TestSource("tests/skins/container/skin_file.py")) + " check " + Quote(path), &output), 0)
      << output;
  EXPECT_NE(output.find("IPVR 0x0001003C 0x0001004B\nINAM Ink\nIART Someone\nDATA packed"), std::string::npos) << output;
  EXPECT_NE(output.find("inner COLR 136\ninner FONT 0\n"), std::string::npos) << output;

  ColorsAndFonts read;
  ReadBytes(twltest::ReadFile(path), read);
  EXPECT_EQ(read.info.m_Name, "Ink");
  EXPECT_EQ(read.colors.m_Colors[5], 0x00123456u);
  EXPECT_TRUE(read.colors.IsLoaded());
}

TEST(SkinFile, BothDataFormsBuiltByPythonReadBack) {
  RequirePython();
  const std::string dir = twltest::MakeTempDir("python");
  for (int flags : {0, 1}) {
    SCOPED_TRACE(flags);
    const std::string path = dir + "/flags" + std::to_string(flags) + ".s4u";
    std::string output;
    ASSERT_EQ(Shell("python3 " + Quote(TestSource("tests/skins/container/skin_file.py")) + " build " + Quote(path) + " " +
                        std::to_string(flags),
                    &output),
              0)
        << output;
    ASSERT_EQ(Shell(Quote(twltest::ProgramPath("skinc")) + " chunks " + Quote(path), &output), 0) << output;
    const std::string form = flags ? "DATA [0-9]+ packed 152 [0-9]+\n" : "DATA 156 unpacked 152\n";
    EXPECT_THAT(output, testing::MatchesRegex("INFO 30\n" + form + "  COLR 136\n  FONT 0\n")) << output;

    ColorsAndFonts read;
    ReadBytes(twltest::ReadFile(path), read);
    EXPECT_EQ(read.info.m_Name, "Python");
    EXPECT_EQ(read.colors.m_Colors[32], 32u * 0x00010203);
  }
}

TEST(SkinFile, StructuralFaultsOfTheContainer) {
  const std::string data = Stored(kInner);
  const struct {
    const char* name;
    std::string file;
    const char* error;  // nullptr: reads
  } cases[] = {
      {"sixteen bytes, rest 0", File(Bytes()), kCorrupted},
      {"an unknown chunk before INFO", File(Bytes().Chunk("XTRA", "x").Chunk("INFO", Info()).Chunk("DATA", data)), kCorrupted},
      {"an unknown chunk between INFO and DATA", File(Bytes().Chunk("INFO", Info()).Chunk("XTRA", "x").Chunk("DATA", data)), nullptr},
      {"an unknown chunk after DATA", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", data).Chunk("XTRA", "xy")), nullptr},
      {"a second INFO", File(Bytes().Chunk("INFO", Info()).Chunk("INFO", Info()).Chunk("DATA", data)), kCorrupted},
      {"a second DATA", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", data).Chunk("DATA", data)), kCorrupted},
      {"DATA before INFO", File(Bytes().Chunk("DATA", data).Chunk("INFO", Info())), kCorrupted},
      {"no DATA", File(Bytes().Chunk("INFO", Info())), kCorrupted},
      {"a chunk longer than the rest", File(Bytes().Chunk("INFO", Info()).Tag("DATA").U32(1000).Raw(data)), kCorrupted},
      {"a rest length beyond the file", Bytes().Raw(std::string(kSkinMagic, 12)).U32(500).Chunk("INFO", Info()).str(), kEndOfStream},
      {"DATA of three bytes", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", "abc")), kCorrupted},
      {"an empty inner stream", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Stored(""))), kCorrupted},
      {"bytes after the last element chunk", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Stored(kInner + "1234567"))), kCorrupted},
      {"an element chunk overrunning the inner stream",
       File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Stored(kInner + Bytes().Tag("XTRA").U32(9).Raw("abc").str()))), kCorrupted},
      {"no FONT element", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Stored(Bytes().Chunk("COLR", Colr(1)).str()))), kCorrupted},
      {"a second FONT element", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Stored(kInner + Bytes().Chunk("FONT", "").str()))), kCorrupted},
      {"packed data of 11 bytes", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Bytes().U32(1).Zeros(11))), kCorrupted},
      {"a packed size beyond the chunk",
       File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Bytes().U32(1).U32(10).U32(0).U32(50).Zeros(10))), kCorrupted},
      {"an unpacked size of 0", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Bytes().U32(1).U32(0).U32(0).U32(2).Zeros(2))), kCorrupted},
      {"a packed size of 0", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Bytes().U32(1).U32(9).U32(0).U32(0).Zeros(2))), kCorrupted},
      {"packed data that inflates to more than announced",
       File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner, {-1}))), kCorrupted},
      {"packed data that inflates to less than announced",
       File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner, {1}))), kCorrupted},
      {"packed data that ends before its end mark",
       File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner, {0, [](std::string p) { return p.substr(0, p.size() / 2); }}))),
       kCorrupted},
      {"packed data with trailing bytes inside P",
       File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner, {0, [](std::string p) { return p + "zz"; }}))), kCorrupted},
      {"packed data, then bytes to skip", File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner) + "skipped")), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ColorsAndFonts content;
    if (c.error)
      ExpectError([&] { ReadBytes(c.file, content); }, c.error);
    else
      ReadBytes(c.file, content);
  }
}

TEST(SkinFile, EveryByteOfTheMagicMatters) {
  const std::string good = File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Stored(kInner)));
  for (size_t i = 0; i < 12; ++i) {
    std::string bad = good;
    bad[i] ^= 0x20;
    ColorsAndFonts content;
    ExpectError([&] { ReadBytes(bad, content); }, "This is not a valid skin file.");
    EXPECT_TRUE(content.info.m_Name.IsEmpty());
  }
}

// The check value covers the packed bytes, so a changed byte is refused
// as corrupted. A changed zlib header would make zlib itself fail (a
// "ZLib Error"): the skin error shows that zlib was never called.
TEST(SkinFile, ChangedPackedByteIsRefusedBeforeZlibSeesIt) {
  for (auto alter : {+[](std::string p) { p[0] ^= 0x10; return p; }, +[](std::string p) { p[p.size() / 2] ^= 1; return p; }}) {
    const std::string file =
        File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner, {0, alter, false})));
    ColorsAndFonts content;
    const std::string caption = ExpectError([&] { ReadBytes(file, content); }, kCorrupted);
    EXPECT_EQ(caption, "Skin error");
  }
  // The same header change with a fitting check value reaches zlib.
  const std::string file = File(Bytes().Chunk("INFO", Info()).Chunk("DATA", Packed(kInner, {0, [](std::string p) {
                                                                                                  p[0] ^= 0x10;
                                                                                                  return p;
                                                                                                }})));
  ColorsAndFonts content;
  EXPECT_EQ(ExpectError([&] { ReadBytes(file, content); }, ""), "ZLib Error");
}

// The check value is no protection against a file made to lie: an
// unpacked size far beyond what deflate can give is refused before the
// buffer for it is allocated.
TEST(SkinFile, UnpackedSizeBeyondWhatDeflateCanGiveIsRefusedBeforeAllocating) {
  const std::string packed = "\x78\x9c\x03\x00\x00\x00\x00\x01";
  const DWORD check = static_cast<DWORD>(crc32(0, reinterpret_cast<const Bytef*>(packed.data()), packed.size()));
  for (DWORD unpacked : {0x7FFFFFF0u, 0xFFFFFFFFu, 1032u * 9 + 1}) {
    const std::string file = File(Bytes().Chunk("INFO", Info()).Chunk(
        "DATA", Bytes().U32(1).U32(unpacked).U32(check).U32(static_cast<DWORD>(packed.size())).Raw(packed)));
    LargestAllocation largest;
    ColorsAndFonts content;
    ExpectError([&] { ReadBytes(file, content); }, kCorrupted);
    EXPECT_LT(largest.Bytes(), 65536u);
  }
}

TEST(SkinFile, SkincChunksReportsErrorsOnStderrWithExitCode1) {
  const std::string dir = twltest::MakeTempDir("skinc");
  twltest::WriteFile(dir + "/bad.s4u", File(Bytes().Chunk("DATA", Stored(kInner))));
  twltest::WriteFile(dir + "/nothing.s4u", "Just some text here.");
  const std::string skinc = Quote(twltest::ProgramPath("skinc"));
  std::string out, err;
  EXPECT_EQ(RunTool(skinc + " chunks " + Quote(dir + "/bad.s4u"), &out, &err), 1);
  EXPECT_EQ(err, "skinc: Skin error: Corrupted file\n");
  EXPECT_EQ(RunTool(skinc + " chunks " + Quote(dir + "/nothing.s4u"), &out, &err), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "skinc: Skin error: This is not a valid skin file.\n");
}
