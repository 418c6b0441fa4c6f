// Screevo's objects against a recording host: the extension table built
// from the registry's sources, the player's file types and CanPlay, the
// identifier, the filter, and the plug-in without the filter graph library.
#include <gtest/gtest.h>
#include <twlwin/testing.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "ScreevoHost.h"

namespace {

using screevotest::Record;
using screevotest::ScreevoHost;

constexpr const char* kMultimedia = "Software\\Microsoft\\Multimedia\\";

void SetText(const std::string& path, const char* name, const char* text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kMultimedia + path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  if (name) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
  }
  RegCloseKey(key);
}

// A string value whose data lacks the terminating zero, as a careless
// writer leaves it.
void SetUnterminated(const std::string& path, const char* name, const char* text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kMultimedia + path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(std::strlen(text)));
  RegCloseKey(key);
}

bool Recorded(const std::string& call) {
  const auto& calls = Record().calls;
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::string RecordedStartingWith(const std::string& prefix) {
  for (const std::string& call : Record().calls) {
    if (call.rfind(prefix, 0) == 0) return call;
  }
  return "";
}

// The first source that names an extension decides, later ones only fill
// its gaps; the skip list and the system player's own types stay out.
TEST(ScreevoObjects, ExtensionSourcesFillOnlyTheGapsAndSkipWhatTheListSkips) {
  SetText("DirectXMedia\\Extensions\\.foo", "Extension.MIME", "video/x-foo");
  SetText("DirectXMedia\\Extensions\\.foo", "MediaType.Description", "Foo video");
  SetText("DirectXMedia\\Extensions\\.bar", nullptr, nullptr);
  SetText("DirectXMedia\\Extensions\\.MOV", "Extension.MIME", "video/quicktime");
  SetText("DirectXMedia\\Extensions\\nodot", "Extension.MIME", "audio/x-none");
  SetText("WMPlayer\\Extensions\\.wmx", "MediaType.Description", "Clip for Windows MEDIA Player");
  SetText("MPlayer2\\Extensions\\.bar", "Extension.MIME", "AUDIO/x-bar");
  SetText("MPlayer2\\Extensions\\.bar", "MediaType.Description", "Bar sound");
  SetText("ActiveMovie\\File Extensions", ".foo", "Another foo");
  SetText("ActiveMovie\\File Extensions", ".mid", "MIDI sequence");
  SetText("ActiveMovie\\File Extensions", ".wmx", "WMX clip");
  SetText("ActiveMovie\\File Extensions", ".qt", "QuickTime");
  SetUnterminated("DirectXMedia\\Extensions\\.baz", "MediaType.Description", "Baz");

  ScreevoHost host;
  const auto* filter = static_cast<const FileFilterInterface*>(host.Object(PLUGINOBJ_FILEFILTER));
  ASSERT_NE(filter, nullptr);
  ASSERT_TRUE(filter->head.OBJECT_Init());
  ASSERT_TRUE(host.Player()->PLAYER_RegisterFileTypes(nullptr));

  EXPECT_TRUE(Recorded("extension .foo|Foo video|3")) << "the first source wins";
  EXPECT_TRUE(Recorded("extension .bar|Bar sound|1")) << "a later source fills the gaps, case of the type ignored";
  EXPECT_TRUE(Recorded("extension .mid|MIDI sequence|1")) << "the built-in list gives the value's type";
  EXPECT_TRUE(Recorded("extension .wmx|WMX clip|0")) << "skipped as the system player's, back from the values";
  EXPECT_TRUE(Recorded("extension .baz|Baz|0")) << "a text without its zero ends where its data ends";
  EXPECT_TRUE(Recorded("extension .wav|WAV sound|1")) << "written by the filter graph library";
  EXPECT_TRUE(Recorded("extension .ogg|Ogg Vorbis sound|1"));
  EXPECT_EQ(RecordedStartingWith("extension .MOV"), "");
  EXPECT_EQ(RecordedStartingWith("extension .qt"), "");
  EXPECT_EQ(RecordedStartingWith("extension nodot"), "");

  ASSERT_TRUE(filter->FILEFILTER_BuildFilter(nullptr));
  const std::string text = RecordedStartingWith("filter ");
  EXPECT_EQ(text.rfind("filter DirectShow media files (*.", 0), 0u) << text;
  EXPECT_NE(text.find(", *.foo"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with(")|0")) << text;
  filter->head.OBJECT_Exit();
}

TEST(ScreevoObjects, CanPlayAnswersByTableExtensionAndScheme) {
  ScreevoHost host;
  const PlayerInterface* player = host.Player();
  ASSERT_NE(player, nullptr);
  Record().mainWindow = Record().mainWindow;
  ASSERT_TRUE(player->head.OBJECT_Init());
  struct Case {
    const char* url;
    DWORD verdict;
  };
  const Case cases[] = {
      {"file:///tmp/T.WAV", 1},        // case ignored
      {"FILE:///tmp/a.ogg", 1},        // in the scheme too
      {"http://host/a.Ogg", 1},        //
      {"ftp://host/a.wav", 1},         //
      {"mms://x", 1},                  // streams need no extension
      {"file:///tmp/a.mov", 0},        // never in the table
      {"/tmp/a.wav", 0},               // a plain path is no URL
      {"file:///tmp/wav", 0},          // no dot
      {"file:///tmp/a.wav/b", 0},      // the text after the last dot
      {"smb://host/a.wav", 0},         // other schemes
  };
  for (const Case& c : cases) {
    CanPlayAnswer answer{};
    answer.reserved = answer.supportLevel = answer.costLevel = answer.exclusiveAccess = 9;
    player->PLAYER_CanPlay(c.url, &answer);
    EXPECT_EQ(answer.verdict, c.verdict) << c.url;
    EXPECT_EQ(answer.priority, 192u) << c.url;
    EXPECT_EQ(answer.legacyGroup, 1u);
    EXPECT_EQ(answer.legacyLevel + answer.reserved + answer.supportLevel + answer.costLevel + answer.exclusiveAccess,
              0u);
  }
  player->head.OBJECT_Exit();
}

TEST(ScreevoObjects, IdentifierAndFilterKnowTheTableAndStreams) {
  ScreevoHost host;
  const auto* identifier = static_cast<const FileIdentifierInterface*>(host.Object(PLUGINOBJ_FILEIDENTIFIER));
  const auto* filter = static_cast<const FileFilterInterface*>(host.Object(PLUGINOBJ_FILEFILTER));
  ASSERT_NE(identifier, nullptr);
  ASSERT_NE(filter, nullptr);
  ASSERT_TRUE(identifier->head.OBJECT_Init());
  EXPECT_TRUE(Recorded("add icon given")) << "icon resource 101";
  for (const char* path : {"/m/a.OGG", "mms://radio", "/m/a.txt", "/m/wav"}) EXPECT_TRUE(identifier->FILEIDENTIFIER_Identify(path));
  EXPECT_TRUE(Recorded("file info /m/a.OGG||64|7|64|-1|0"));
  EXPECT_TRUE(Recorded("file info mms://radio||64|7|64|-1|0"));
  EXPECT_EQ(RecordedStartingWith("file info /m/a.txt"), "");
  EXPECT_EQ(RecordedStartingWith("file info /m/wav"), "");

  ASSERT_TRUE(filter->head.OBJECT_Init());
  const char* names[] = {"a.wav", "b.txt", "mms://x", nullptr, "c.Ogg"};
  DWORD results[] = {0, 5, 0, 0, 0};
  EXPECT_TRUE(filter->FILEFILTER_TestNames(0, nullptr, 5, names, results));
  EXPECT_EQ(std::vector<DWORD>(results, results + 5), (std::vector<DWORD>{1, 5, 1, 0, 1})) << "others are left as they are";

  // The table lives while one of its users does.
  filter->head.OBJECT_Exit();
  CanPlayAnswer answer{};
  host.Player()->PLAYER_CanPlay("file:///a.wav", &answer);
  EXPECT_EQ(answer.verdict, 1u);
  identifier->head.OBJECT_Exit();
  answer = {};
  host.Player()->PLAYER_CanPlay("file:///a.wav", &answer);
  EXPECT_EQ(answer.verdict, 0u) << "freed with its last user";
}

TEST(ScreevoObjects, WithoutTheFilterGraphLibraryNoObjectIsOffered) {
  TwlTestHideSystemLibrary("quartz.dll", TRUE);
  ScreevoHost host;
  for (DWORD kind : {0u, 4u, 6u, 1u}) EXPECT_EQ(host.Object(kind), nullptr) << kind;
  TwlTestHideSystemLibrary("quartz.dll", FALSE);
}

TEST(ScreevoObjects, OnlyTheThreeKindsAreOffered) {
  ScreevoHost host;
  for (DWORD kind = 0; kind < 9; ++kind)
    EXPECT_EQ(host.Object(kind) != nullptr, kind == 0 || kind == 4 || kind == 6) << kind;
  PlugInVersionInfo version{};
  host.Main().PLUGIN_GetVersion(&version);
  EXPECT_EQ(version.requiredPlayerVersion, 0x10000u);
  EXPECT_EQ(version.apiVersion, 0x10001u);
  EXPECT_EQ(host.Main().PLUGIN_EnumObjects, nullptr);
}

}  // namespace
