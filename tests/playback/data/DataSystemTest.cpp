// The data system around its slots: plug-in stream providers joining and
// leaving the file system, restoring their surfaces, the proxy start-up
// order, and the connection time-out in the registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "pluginhost/streams/PlugInStreamProviderBase.h"
#include "support/RecordingLogFront.h"
#include "support/StubConfigurableObject.h"
#include "support/TestPaths.h"

namespace {

// What the fake providers were asked, in order.
std::vector<std::string>& Calls() {
  static std::vector<std::string> calls;
  return calls;
}

// A provider as a plug-in's would be: it opens "NAME://" URLs as memory
// streams, registers one proxy type, and may fail to restore its surfaces.
class FakeProvider : public twltest::StubConfigurableObject<CPlugInStreamProviderBase> {
 public:
  FakeProvider(std::string name, bool restores) : StubConfigurableObject(std::move(name)), m_Restores(restores) {}
  ~FakeProvider() override { Calls().push_back(Name() + " deleted"); }

  bool CanOpen(const char* url, DWORD, StreamOpenAnswer& answer) override {
    if (!Serves(url)) return false;
    answer = {kStreamRead | kStreamSeek | kStreamLengthKnown, 1000, 10};
    return true;
  }
  CStream* Open(const char* url, DWORD) override {
    if (!Serves(url)) return nullptr;
    auto* stream = new CMemoryStream;
    stream->Open(nullptr, 0, kStreamRead | kStreamSeek, 0, true);
    return stream;
  }
  void Exit() override { Calls().push_back(Name() + " exit"); }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override {
    if (m_Restores) return true;
    SetThreadError(THREAD_ERROR_GENERAL, 0, "surfaces gone");
    return false;
  }
  bool RegisterProxyTypes(CProxyDataBase& proxies) override {
    Calls().push_back(Name() + " registers");
    return proxies.RegisterProxyType(Name().c_str(), "HTTP", 8080);
  }

 private:
  bool Serves(const char* url) const { return std::strncmp(url, (Name() + "://").c_str(), Name().size() + 3) == 0; }

  bool m_Restores;
};

bool FileSystemOpens(const char* url) {
  try {
    GetFileSystem().Open(url, kStreamRead, 0)->Close();
    return true;
  } catch (CError* error) {
    DisposeError(error);
    return false;
  }
}

TEST(DataSystem, ProvidersOpenTheirUrlsUntilExitTakesThemOutLetsThemExitAndDeletesThem) {
  CDataSystem data;
  data.AddStreamProvider(new FakeProvider("alpha", true));
  data.AddStreamProvider(new FakeProvider("beta", true));
  EXPECT_TRUE(FileSystemOpens("alpha://x"));
  EXPECT_TRUE(FileSystemOpens("beta://x"));
  const INT before = GetFileSystem().GetProviderCount();

  data.Exit();
  EXPECT_FALSE(FileSystemOpens("alpha://x"));
  EXPECT_FALSE(FileSystemOpens("beta://x"));
  EXPECT_EQ(GetFileSystem().GetProviderCount(), before - 2);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"alpha exit", "beta exit", "alpha deleted", "beta deleted"}));
}

TEST(DataSystem, InitStartsEmptyAndLogsItsHeader) {
  twltest::RecordingLogFront log;
  CDataSystem data;
  data.AddStreamProvider(new FakeProvider("gamma", true));
  CPlugInManager noPlugIns;
  data.Init(noPlugIns);
  EXPECT_FALSE(FileSystemOpens("gamma://x"));
  EXPECT_EQ(log.Text(), "-------- initializing stream provider --------\n");
  log.Clear();
  data.InitNewStreamProviders(noPlugIns, 0);
  EXPECT_EQ(log.Text(), "-------- initializing new stream provider --------\n");
}

TEST(DataSystem, RestoringSurfacesLogsEachProviderThatFailsAndAnswersFalse) {
  twltest::RecordingLogFront log;
  CDataSystem data;
  data.AddStreamProvider(new FakeProvider("keeps", true));
  data.AddStreamProvider(new FakeProvider("loses", false));
  EXPECT_FALSE(data.RestoreStreamProviderSurfaces());
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, "**** restoring stream provider surfaces ****\n");
  EXPECT_EQ(entries[1].category, 0x400u);
  EXPECT_NE(entries[1].text.find("loses"), std::string::npos);
  EXPECT_NE(entries[1].text.find("surfaces gone"), std::string::npos);
  data.Exit();

  CDataSystem healthy;
  healthy.AddStreamProvider(new FakeProvider("fine", true));
  EXPECT_TRUE(healthy.RestoreStreamProviderSurfaces());
  healthy.Exit();
}

TEST(DataSystem, TheProxyStartUpAsksTheProvidersFirstAndThenTheOthers) {
  CDataSystem data;
  data.AddStreamProvider(new FakeProvider("ftp", true));
  CProxyDataBase& proxies = data.GetProxyDataBase();
  proxies.RegisterProxyType("stale", "HTTP", 1);
  data.InitProxyDataBase([](CProxyDataBase& database) {
    Calls().push_back("others register");
    database.RegisterProxyType("http", "HTTP", 3128);
  });
  EXPECT_EQ(Calls(), (std::vector<std::string>{"ftp registers", "others register"}));
  ASSERT_EQ(proxies.GetCount(), 2u);
  EXPECT_STREQ(proxies.GetInfo(0)->GetProtocol().c_str(), "ftp");
  EXPECT_STREQ(proxies.GetInfo(1)->GetProtocol().c_str(), "http");
  EXPECT_EQ(proxies.Find("stale"), nullptr);
  data.Exit();
}

// Writes a value of any type and size under the settings key.
void StoreValue(const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &key));
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(DataSystem, TheTimeOutIsThirtySecondsUnlessAFourByteDwordIsStored) {
  struct Row {
    const char* why;
    DWORD type;
    std::string bytes;  // empty with REG_NONE: nothing stored
    DWORD expected;
  };
  const Row rows[] = {
      {"nothing stored", REG_NONE, "", 30000},
      {"a stored DWORD", REG_DWORD, std::string("\xC8\xAF\0\0", 4), 45000},
      {"zero is a time-out too", REG_DWORD, std::string(4, '\0'), 0},
      {"a DWORD of two bytes is not read", REG_DWORD, std::string("\xC8\xAF", 2), 30000},
      {"a binary value of four bytes is not read", REG_BINARY, std::string("\xC8\xAF\0\0", 4), 30000},
      {"a text is not read", REG_SZ, std::string("45000\0", 6), 30000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    HKEY key = nullptr;
    if (OpenSettingsKey(KEY_SET_VALUE, &key)) {
      RegDeleteValueA(key, "DefaultConnectionTimeout");
      RegCloseKey(key);
    }
    if (row.type != REG_NONE) StoreValue("DefaultConnectionTimeout", row.type, row.bytes);
    CDataSystem data;
    data.LoadOptions();
    EXPECT_EQ(data.GetDefaultConnectionTimeout(), row.expected);
  }
}

TEST(DataSystem, ASetTimeOutIsWhatTheNextStartReads) {
  {
    CDataSystem data;
    EXPECT_TRUE(data.SetDefaultConnectionTimeout(45000));
    EXPECT_EQ(data.GetDefaultConnectionTimeout(), 45000u);
  }
  CDataSystem restarted;
  EXPECT_EQ(restarted.GetDefaultConnectionTimeout(), 30000u);
  restarted.LoadOptions();
  EXPECT_EQ(restarted.GetDefaultConnectionTimeout(), 45000u);
}

}  // namespace
