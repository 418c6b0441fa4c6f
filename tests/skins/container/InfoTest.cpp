// Skin information from "Skin.ini" and from the "INFO" chunk, and skinc
// info over both.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/SkinTestSupport.h"
#include "foundation/errors/ThreadErrorState.h"
#include "skins/info/SkinInfo.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

std::string FolderWithSkinIni(const std::string& name, const std::string& text) {
  const std::string folder = twltest::MakeTempDir("skins") + "/" + name;
  std::filesystem::create_directories(folder);
  twltest::WriteFile(folder + "/Skin.ini", text);
  return folder + "/";
}

}  // namespace

TEST(SkinInfo, SkinIniCases) {
  const struct {
    const char* name;
    const char* text;
    bool loads;
    DWORD minVersion, developedFor;
    const char* skinName;
    const char* error;
  } cases[] = {
      {"1.6 and 1.60 are the same version", "MinPlayerVersion=1.6\nDevelopedForPlayerVersion=1.60\nName=Slate\n", true,
       0x1003C, 0x1003C, "Slate", nullptr},
      {"the second names alone", "MinOstrellVersion = 1.20\r\nDevelopedForOstrellVersion = 1.75\r\n", true, 0x10014,
       0x1004B, "Folder", nullptr},
      {"the later of two names wins", "MinPlayerVersion=1.5\nMinOstrellVersion=1.7\nDevelopedForPlayerVersion=1.7\n",
       true, 0x10046, 0x10046, "Folder", nullptr},
      {"a bad Copyright line does not matter", "Copyright\nMinPlayerVersion=1.0\nDevelopedForPlayerVersion=1.0\n", true,
       0x10000, 0x10000, "Folder", nullptr},
      {"developed-for missing", "MinPlayerVersion=1.6\n", false, 0, 0, nullptr,
       "'DevelopedForPlayerVersion' entry is missing in Skin.ini."},
      {"minimum missing", "DevelopedForPlayerVersion=1.6\n", false, 0, 0, nullptr,
       "'MinPlayerVersion' entry is missing in Skin.ini."},
      {"both missing", "Name=Nothing\n", false, 0, 0, nullptr,
       "'DevelopedForPlayerVersion' and 'MinPlayerVersion' entries are missing in Skin.ini."},
      {"a version that is no version counts as missing", "MinPlayerVersion=one\nDevelopedForPlayerVersion=1.6\n", false,
       0, 0, nullptr, "'MinPlayerVersion' entry is missing in Skin.ini."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = FolderWithSkinIni("Folder", c.text);
    CSkinInfo info;
    ASSERT_EQ(info.LoadFromFolder(folder.c_str()), c.loads) << GetThreadErrorText().c_str();
    if (!c.loads) {
      EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
      EXPECT_STREQ(GetThreadErrorState()->text, c.error);
      continue;
    }
    EXPECT_EQ(info.m_MinVersion, c.minVersion);
    EXPECT_EQ(info.m_DevelopedForVersion, c.developedFor);
    EXPECT_EQ(info.m_Name, c.skinName);
    EXPECT_EQ(info.m_Path, folder.c_str());
    EXPECT_TRUE(info.m_Copyright.IsEmpty());
  }
}

TEST(SkinInfo, MissingSkinIniIsReportedAsNotFound) {
  CSkinInfo info;
  EXPECT_FALSE(info.LoadFromFolder((twltest::MakeTempDir("empty") + "/").c_str()));
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_STREAM));
  EXPECT_EQ(GetThreadErrorState()->code, 10u);
}

namespace {

std::string Ipvr(DWORD minimum, DWORD developedFor) { return Bytes().Chunk("IPVR", Bytes().U32(minimum).U32(developedFor)).str(); }

}  // namespace

TEST(SkinInfo, InfoChunkCases) {
  const struct {
    const char* name;
    std::string chunk;
    const char* error;  // nullptr: reads
  } cases[] = {
      {"two INAM with text", Ipvr(1, 2) + Bytes().Chunk("INAM", "a").Chunk("INAM", "b").str(), kCorrupted},
      {"an empty INAM, then one with text", Ipvr(1, 2) + Bytes().Chunk("INAM", "").Chunk("INAM", "b").str(), nullptr},
      {"two IPVR", Ipvr(1, 2) + Ipvr(1, 2), kCorrupted},
      {"no IPVR", Bytes().Chunk("INAM", "a").str(), kCorrupted},
      {"an IPVR of 12 bytes", Bytes().Chunk("IPVR", Bytes().U32(1).U32(2).U32(3)).Chunk("ICMT", "c").str(), nullptr},
      {"an IPVR of 7 bytes", Bytes().Chunk("IPVR", std::string(7, '\1')).str(), kCorrupted},
      {"a sub-chunk beyond the chunk", Ipvr(1, 2) + Bytes().Tag("INAM").U32(50).Raw("x").str(), kCorrupted},
      {"unknown sub-chunks", Bytes().Chunk("ABCD", "xyz").Raw(Ipvr(1, 2)).Chunk("ZZZZ", "").str(), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSkinInfo info;
    BytesStream in(c.chunk);
    if (c.error) {
      ExpectError([&] { info.ReadInfo(*in, static_cast<DWORD>(c.chunk.size())); }, c.error);
      EXPECT_TRUE(info.m_Name.IsEmpty());
      continue;
    }
    info.ReadInfo(*in, static_cast<DWORD>(c.chunk.size()));
    EXPECT_EQ(info.m_MinVersion, 1u);
    EXPECT_EQ(info.m_DevelopedForVersion, 2u);
    EXPECT_EQ(in->GetPosition(), static_cast<LONGLONG>(c.chunk.size()));
  }
}

TEST(SkinInfo, CompiledFileWithoutNameIsNamedByItsFileName) {
  const std::string dir = twltest::MakeTempDir("compiled");
  const std::string info = Ipvr(0x1003C, 0x1004B) + Bytes().Chunk("IART", "Me").str();
  const std::string body = Bytes().Chunk("INFO", info).Chunk("DATA", "").str();
  twltest::WriteFile(dir + "/Blue Sky.s4u", Bytes().Raw("Ostrell skin").U32(static_cast<DWORD>(body.size())).Raw(body).str());
  CSkinInfo read;
  ASSERT_TRUE(read.LoadFromCompiledFile((dir + "/Blue Sky.s4u").c_str())) << GetThreadErrorText().c_str();
  EXPECT_EQ(read.m_Name, "Blue Sky.s4u");
  EXPECT_EQ(read.m_Artist, "Me");

  // A first chunk other than "INFO", and a wrong magic, cannot be listed.
  const std::string other = Bytes().Chunk("XTRA", "").Chunk("INFO", info).str();
  twltest::WriteFile(dir + "/other.s4u", Bytes().Raw("Ostrell skin").U32(static_cast<DWORD>(other.size())).Raw(other).str());
  EXPECT_FALSE(read.LoadFromCompiledFile((dir + "/other.s4u").c_str()));
  EXPECT_STREQ(GetThreadErrorState()->text, "Skin error: Corrupted file");
  twltest::WriteFile(dir + "/magic.s4u", Bytes().Raw("Ostrell skiN").U32(static_cast<DWORD>(body.size())).Raw(body).str());
  EXPECT_FALSE(read.LoadFromCompiledFile((dir + "/magic.s4u").c_str()));
  EXPECT_STREQ(GetThreadErrorState()->text, "Skin error: Corrupted file");
}

TEST(SkinInfo, SkincInfoPrintsTheTextsPathAndBothVersions) {
  const std::string folder = FolderWithSkinIni(
      "Granite", "Name = Granite\nCopyright=(c) nobody\nArtist=A. Painter\nInfo=Grey stones\nVersion=2b\n"
                 "MinPlayerVersion=1.6\nDevelopedForPlayerVersion=1.75\n");
  std::string out, err;
  ASSERT_EQ(RunTool(Quote(twltest::ProgramPath("skinc")) + " info " + Quote(folder), &out, &err), 0) << err;
  EXPECT_EQ(out, "Name: Granite\nCopyright: (c) nobody\nArtist: A. Painter\nInfo: Grey stones\nVersion: 2b\nPath: " +
                     folder + "\nMinPlayerVersion: 1.60\nDevelopedForPlayerVersion: 1.75\n");

  twltest::WriteFile(folder + "Skin.ini", "Name=Broken\n");
  EXPECT_EQ(RunTool(Quote(twltest::ProgramPath("skinc")) + " info " + Quote(folder), &out, &err), 1);
  EXPECT_EQ(err, "skinc: 'DevelopedForPlayerVersion' and 'MinPlayerVersion' entries are missing in Skin.ini.\n");
}
