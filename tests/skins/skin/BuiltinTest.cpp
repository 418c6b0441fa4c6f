// The built-in skin: the program carries exactly what skinc compiles from
// resources/skins/builtin/, compiling is deterministic, the file holds the
// elements the player relies on, and it completes skins without a mini
// mode.
#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include "../support/SkinTestSupport.h"
#include "foundation/appcore/PlayerVersion.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/skin/Skin.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

std::string Skinc() { return Quote(twltest::ProgramPath("skinc")); }
std::string BuiltinFolder() { return twltest::SourceDir() + "/resources/skins/builtin/"; }

// The resource this program carries, as the player's user interface finds
// it.
std::string EmbeddedSkin() {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  EXPECT_NE(resource, nullptr);
  if (!resource) return std::string();
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
  return std::string(bytes, SizeofResource(nullptr, resource));
}

}  // namespace

TEST(BuiltinSkin, EmbeddedSkinIsExactlyWhatTheCompilerMakesOfTheFolder) {
  const std::string dir = twltest::MakeTempDir("builtin");
  std::string out, err;
  ASSERT_EQ(RunTool(Skinc() + " builtin " + Quote(dir + "/embedded.s4u"), &out, &err), 0) << err;
  ASSERT_EQ(RunTool(Skinc() + " compile " + Quote(BuiltinFolder()) + " " + Quote(dir + "/compiled.s4u"), &out, &err), 0)
      << err;
  const std::string embedded = twltest::ReadFile(dir + "/embedded.s4u");
  EXPECT_EQ(embedded, twltest::ReadFile(dir + "/compiled.s4u"));
  EXPECT_EQ(embedded, EmbeddedSkin()) << "skinc and this program carry the same resource";
}

TEST(BuiltinSkin, CompilingLoadingAndCompilingAgainGivesTheSameFile) {
  const std::string dir = twltest::MakeTempDir("again");
  CSkin skin;
  skin.LoadFromFolder(BuiltinFolder().c_str());
  skin.SaveCompiled((dir + "/first.s4u").c_str(), true);
  CSkin read;
  read.LoadCompiledFile((dir + "/first.s4u").c_str());
  read.SaveCompiled((dir + "/second.s4u").c_str(), true);
  EXPECT_EQ(twltest::ReadFile(dir + "/second.s4u"), twltest::ReadFile(dir + "/first.s4u"));
  // The unpacked form holds the same inner stream.
  read.LoadCompiledFile((dir + "/first.s4u").c_str());
  read.SaveCompiled((dir + "/stored.s4u").c_str(), false);
  std::string out, err;
  ASSERT_EQ(RunTool(Skinc() + " chunks " + Quote(dir + "/stored.s4u"), &out, &err), 0) << err;
  EXPECT_NE(out.find(" unpacked "), std::string::npos) << out;
}

TEST(BuiltinSkin, PythonFindsExactlyTheElementsThePlayerReliesOn) {
  RequirePython();
  const std::string path = twltest::MakeTempDir("python") + "/builtin.s4u";
  twltest::WriteFile(path, EmbeddedSkin());
  std::string output;
  ASSERT_EQ(Shell("python3 " + Quote(TestSource("tests/skins/container/skin_file.py")) + " check " + Quote(path) +
                      " | sed -n 's/^\\(inner\\|font\\) \\([A-Z]*\\) .*/\\2/p' | tr '\\n' ' '",
                  &output),
            0)
      << output;
  EXPECT_EQ(output, "COLR FONT FNML FHIL FBDS MWDB MWDS MWDM SWDB SWDS AWND ");
}

TEST(BuiltinSkin, LoadsAndNeedsNoNewerPlayer) {
  const std::string skin = EmbeddedSkin();
  BytesStream in(skin);
  CSkin builtin;
  builtin.LoadCompiled(*in);
  EXPECT_LE(builtin.GetInfo().m_MinVersion, GetRunningPlayerVersion().packed);
  EXPECT_EQ(GetRunningPlayerVersion().packed, 0x1004Bu);
  std::string out, err;
  const std::string path = twltest::MakeTempDir("check") + "/builtin.s4u";
  twltest::WriteFile(path, skin);
  ASSERT_EQ(RunTool(Skinc() + " check " + Quote(path), &out, &err), 0) << err;
  EXPECT_NE(out.find("MainWindow2: 160x20"), std::string::npos) << out;
  EXPECT_NE(out.find("ControlWindow2: none\n"), std::string::npos) << out;
  EXPECT_NE(out.find("VolumeBar (script)"), std::string::npos) << "one bar has a bar script: " << out;
}

// A skin without a mini mode borrows the built-in one: its main window
// "MWDM" and, as there is no "SWDM", "SWDB" as its control window, which
// takes the built-in skin's colours and fonts.
TEST(BuiltinSkin, CompletesASkinWithoutMiniMode) {
  const std::string folder = twltest::MakeTempDir("nomini") + "/Plain/";
  std::filesystem::copy(BuiltinFolder(), folder);
  std::filesystem::remove(folder + "MiniMainWindow.ini");
  CSkin skin;
  skin.LoadFromFolder(folder.c_str());
  ASSERT_EQ(skin.GetMainWindowSkin(2), nullptr);

  const std::string builtin = EmbeddedSkin();
  BytesStream in(builtin);
  skin.LoadModeFromCompiled(2, *in);
  ASSERT_NE(skin.GetMainWindowSkin(2), nullptr);
  EXPECT_EQ(skin.GetMainWindowSkin(2)->GetAnimation().GetBase()->GetWidth(), 160u);
  CControlWindowSkin* mini = skin.GetControlWindowSkin(2);
  ASSERT_NE(mini, nullptr);
  EXPECT_EQ(mini->GetPart(1)->GetHeight(), 24u) << "the normal control window's middle band";
  ASSERT_NE(mini->GetColorSet(), nullptr);
  ASSERT_NE(mini->GetFontSet(), nullptr);
  EXPECT_NE(mini->GetFontSet()->GetFont(0), nullptr);
  EXPECT_TRUE(skin.IsLoaded());

  // The built-in skin stored unpacked, so that its inner chunks can be
  // renamed out of the walk.
  CSkin source;
  BytesStream whole(builtin);
  source.LoadCompiled(*whole);
  CMemoryStream out;
  OpenWritable(out);
  source.WriteCompiled(out, false);
  const std::string stored = StreamBytes(out);
  const auto renamed = [&](const std::string& tag) {
    std::string file = stored;
    const size_t at = file.find(tag);
    EXPECT_NE(at, std::string::npos) << tag;
    if (at != std::string::npos) file[at] = 'X';
    return file;
  };
  const struct {
    const char* name;
    std::string file;
    const char* error;
    bool modeKept;  // else the mode has neither window afterwards
  } faults[] = {
      {"no DATA chunk", Bytes().Raw("Ostrell skin").U32(8).Chunk("INFO", "").str(), kCorrupted, true},
      {"a wrong magic", Bytes().Raw("Ostrell skiN").U32(0).str(), "This is not a valid skin file.", true},
      {"data without the mode's main window", renamed("MWDM"), kCorrupted, false},
      {"a control window without colours in data without COLR", renamed("COLR"), kCorrupted, false},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.name);
    BytesStream again(builtin);
    skin.LoadModeFromCompiled(2, *again);
    BytesStream bad(fault.file);
    ExpectError([&] { skin.LoadModeFromCompiled(2, *bad); }, fault.error);
    EXPECT_EQ(skin.GetMainWindowSkin(2) != nullptr, fault.modeKept);
    EXPECT_EQ(skin.GetControlWindowSkin(2) != nullptr, fault.modeKept);
    EXPECT_TRUE(skin.IsLoaded());
  }
}
