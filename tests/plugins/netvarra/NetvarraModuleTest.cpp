// Netvarra.dll loaded into the test process with the host's table, whose
// proxy, proxy-type and time-out slots record what the plug-in asks and
// answer what a test sets: the main table, the stream-provider object, the
// routing by scheme and proxy, and the stream functions with the bits and
// errors that cross the interface.
#include <fstream>
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "pluginhost/hostapi/HostApi.h"
#include "support/LoopbackPeer.h"
#include "support/TestPaths.h"

namespace {

constexpr DWORD kReadOpen = 0x1 | 0x40000;  // read, open existing (interface flags)

struct ProxyAnswer {
  std::string type, host;
  int port = -1;
  BOOL option = FALSE;
};

struct HostRecord {
  std::vector<std::string> calls;
  ProxyAnswer http, ftp;
  DWORD timeout = 30000;
  int liveProxyRecords = 0;
  std::string plugInsFolder;  // ends in "/"
  std::vector<std::string> errorLog;
};

HostRecord& Record() {
  static HostRecord record;
  return record;
}

char* CopyOrNull(const std::string& text) {
  return text.empty() ? nullptr : GetHostApiTable()->HOST_AllocString(text.c_str());
}

BOOL RecordGetProxy(const char* protocol, HostProxyInfo* info, PLUGIN_HANDLE) {
  Record().calls.push_back(std::string("get proxy ") + protocol);
  const ProxyAnswer& answer = std::string(protocol) == "ftp" ? Record().ftp : Record().http;
  *info = HostProxyInfo{CopyOrNull(answer.type), CopyOrNull(answer.host), answer.port, answer.option};
  ++Record().liveProxyRecords;
  return TRUE;
}

void RecordFreeProxyInfo(HostProxyInfo* info) {
  GetHostApiTable()->HOST_Free(info->typeName);
  GetHostApiTable()->HOST_Free(info->host);
  --Record().liveProxyRecords;
}

BOOL RecordRegisterProxyType(HOST_PROXYTYPELIST, const char* protocol, const char* type, int32_t port,
                             PLUGIN_HANDLE) {
  Record().calls.push_back(std::string("proxy type ") + protocol + " " + type + " " + std::to_string(port));
  return TRUE;
}

DWORD RecordGetTimeout(PLUGIN_HANDLE) { return Record().timeout; }

const char* RecordGetFolder(DWORD which) {
  return which == 1 ? Record().plugInsFolder.c_str() : GetHostApiTable()->HOST_GetFolder(which);
}

void RecordLogError(const char* text, DWORD category) {
  Record().errorLog.push_back(std::string(text) + " / " + std::to_string(category));
}

class NetvarraModuleTest : public nettest::NetTest {
 protected:
  void SetUp() override {
    nettest::NetTest::SetUp();
    Record() = HostRecord();
    Record().plugInsFolder = twltest::MakeTempDir("plugins") + "/";
    table_ = *GetHostApiTable();
    table_.HOST_GetProxy = &RecordGetProxy;
    table_.HOST_FreeProxyInfo = &RecordFreeProxyInfo;
    table_.HOST_RegisterProxyType = &RecordRegisterProxyType;
    table_.HOST_GetConnectionTimeout = &RecordGetTimeout;
    table_.HOST_GetFolder = &RecordGetFolder;
    table_.HOST_LogError = &RecordLogError;
    module_ = LoadLibraryA(TWL_NETVARRA_PATH);
    ASSERT_NE(nullptr, module_);
    auto get = reinterpret_cast<PLUGIN_GetMainInterfaceFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, PLUGIN_MAIN_INTERFACE_EXPORT)));
    ASSERT_NE(nullptr, get);
    main_ = get();
    ASSERT_TRUE(main_->PLUGIN_Init(&table_, module_));
    provider_ = static_cast<const StreamProviderInterface*>(main_->PLUGIN_GetObject(PLUGINOBJ_STREAMPROVIDER));
    ASSERT_NE(nullptr, provider_);
    ASSERT_TRUE(provider_->head.OBJECT_Init());
  }
  void TearDown() override {
    if (provider_) provider_->head.OBJECT_Exit();
    if (main_) main_->PLUGIN_Exit();
    if (module_) FreeLibrary(module_);
    EXPECT_EQ(0, Record().liveProxyRecords) << "every proxy record is freed";
    nettest::NetTest::TearDown();
  }

  std::string Text(char* text) {
    std::string copy = text ? text : "(null)";
    table_.HOST_Free(text);
    return copy;
  }

  HostApiTable table_{};
  HMODULE module_ = nullptr;
  const PlugInMainInterface* main_ = nullptr;
  const StreamProviderInterface* provider_ = nullptr;
};

TEST_F(NetvarraModuleTest, MainTableAndObjectHead) {
  for (DWORD kind : {0u, 2u, 3u, 4u, 5u, 6u, 7u}) EXPECT_EQ(nullptr, main_->PLUGIN_GetObject(kind)) << kind;
  EXPECT_EQ(nullptr, main_->PLUGIN_EnumObjects) << "a version-1 plug-in";
  PlugInVersionInfo version{};
  main_->PLUGIN_GetVersion(&version);
  EXPECT_EQ(0x10000u, version.requiredPlayerVersion);
  EXPECT_EQ(0x1004Bu, version.apiVersion);
  EXPECT_EQ("Netvarra (HTTP and FTP)", Text(provider_->head.OBJECT_GetName()));
  EXPECT_EQ("Provides support for the HTTP and FTP transfer protocols for file access on internet servers.",
            Text(provider_->head.OBJECT_GetDescription()));
  EXPECT_TRUE(provider_->STREAMPROVIDER_RegisterProxyTypes(nullptr));
  EXPECT_EQ((std::vector<std::string>{"proxy type http HTTP 8080", "proxy type ftp user@host 8021",
                                      "proxy type ftp HTTP 8080"}),
            Record().calls);
}

TEST_F(NetvarraModuleTest, CanOpenByScheme) {
  struct Row {
    const char* why;
    const char* url;
    ProxyAnswer ftp, http;
    BOOL answer;
    DWORD delay;  // the HTTP provider's 1000, the FTP provider's 2000
  } rows[] = {
      {"http without a proxy", "http://host/x", {}, {}, TRUE, 1000},
      {"http through its proxy", "http://host/x", {}, {"HTTP", "proxy", 3128}, TRUE, 1000},
      {"http with a proxy of another type", "http://host/x", {}, {"SOCKS", "proxy", 1080}, FALSE, 0},
      {"ftp through an HTTP proxy: offered as http://ftp://...", "ftp://host/x", {"http", "proxy", 3128}, {}, TRUE,
       1000},
      {"ftp without a proxy: the FTP provider's", "ftp://host/x", {}, {}, TRUE, 2000},
      {"ftp through a user@host proxy: the FTP provider's", "ftp://host/x", {"user@host", "gate", -1}, {}, TRUE,
       2000},
      {"ftp without a path is no file", "ftp://host", {}, {}, FALSE, 0},
      {"mms is nobody's", "mms://host/x", {}, {}, FALSE, 0},
  };
  for (const Row& row : rows) {
    Record().ftp = row.ftp;
    Record().http = row.http;
    DWORD answer[3] = {};
    EXPECT_EQ(row.answer, provider_->STREAMPROVIDER_CanOpen(row.url, kReadOpen, answer)) << row.why;
    if (!row.answer) continue;
    EXPECT_EQ(0x300401u, answer[0]) << row.why << ": the sharing bits cross inverted";
    EXPECT_EQ(5000u, answer[1]);
    EXPECT_EQ(row.delay, answer[2]) << row.why;
  }
  EXPECT_EQ(0u, provider_->STREAMPROVIDER_Open("mms://host/x", kReadOpen));
}

TEST_F(NetvarraModuleTest, StreamFunctionsOverAServer) {
  const std::string body(3000, 'b');
  const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + body;
  twltest::LoopbackPeer peer("http_peer.py", {"raw", nettest::Hex(reply)});
  const std::string url = "http://127.0.0.1:" + std::to_string(peer.Port()) + "/song.ogg";
  const PLUGIN_STREAM stream = provider_->STREAMPROVIDER_Open(url.c_str(), kReadOpen);
  ASSERT_NE(0u, stream);
  DWORD capabilities = 0;
  ASSERT_TRUE(provider_->STREAM_GetCapabilities(stream, &capabilities));
  EXPECT_EQ(0x300401u, capabilities);
  char* text = nullptr;
  ASSERT_TRUE(provider_->STREAM_GetURL(stream, &text));
  EXPECT_EQ(url, Text(text));

  table_.HOST_SetErrorText("the error before");
  EXPECT_FALSE(provider_->STREAM_HasPendingError(stream));
  EXPECT_STREQ("the error before", table_.HOST_GetErrorText()) << "no pending error: the thread error stays";

  std::string data(4000, '\0');
  DWORD read = 0;
  ASSERT_TRUE(provider_->STREAM_Read(stream, data.data(), 4000, &read));
  EXPECT_EQ(3000u, read);
  BOOL atEnd = FALSE;
  ASSERT_TRUE(provider_->STREAM_IsAtEnd(stream, &atEnd));
  EXPECT_TRUE(atEnd);
  LONGLONG length = 0;
  ASSERT_TRUE(provider_->STREAM_GetLength(stream, 1, &length, nullptr));
  EXPECT_EQ(3000, length);
  LONGLONG position = 0;
  EXPECT_FALSE(provider_->STREAM_Seek(stream, 0, 0, 0, &position, nullptr));
  EXPECT_EQ(DWORD{HOST_ERROR_STREAM}, table_.HOST_GetErrorType());
  EXPECT_EQ(7u, table_.HOST_GetErrorCode()) << "not permitted";
  EXPECT_TRUE(provider_->STREAM_Close(stream));
}

TEST_F(NetvarraModuleTest, ContentTypeBeforeTheHeaderAndTheHostsTimeout) {
  twltest::LoopbackPeer peer("http_peer.py", {"silent"});
  Record().timeout = 300;
  const std::string url = "http://127.0.0.1:" + std::to_string(peer.Port()) + "/x";
  const PLUGIN_STREAM stream = provider_->STREAMPROVIDER_Open(url.c_str(), kReadOpen);
  ASSERT_NE(0u, stream);
  DWORD result = 0;
  char* type = reinterpret_cast<char*>(1);
  ASSERT_TRUE(provider_->STREAM_GetContentType(stream, &result, &type));
  EXPECT_EQ(2u, result);
  EXPECT_EQ(nullptr, type);
  char buffer[16];
  DWORD read = 0;
  EXPECT_FALSE(provider_->STREAM_Read(stream, buffer, sizeof buffer, &read));
  EXPECT_EQ(DWORD{HOST_ERROR_STREAM}, table_.HOST_GetErrorType());
  EXPECT_EQ(16u, table_.HOST_GetErrorCode()) << table_.HOST_GetErrorText();
  EXPECT_TRUE(provider_->STREAM_HasPendingError(stream));
  EXPECT_EQ(16u, table_.HOST_GetErrorCode());
  provider_->STREAM_CloseNoThrow(stream);
}

TEST_F(NetvarraModuleTest, FtpThroughAnHttpProxyReachesTheProxyWhole) {
  const std::string record = std::string(getenv("TMPDIR")) + "/proxy.txt";
  const std::string file = std::string(getenv("TMPDIR")) + "/f.bin";
  std::ofstream(file) << "ftp data";
  twltest::LoopbackPeer proxy("http_peer.py", {"--record", record, "file", file});
  Record().ftp = {"HTTP", "127.0.0.1", proxy.Port()};
  const PLUGIN_STREAM stream = provider_->STREAMPROVIDER_Open("ftp://files.example/pub/a.ogg", kReadOpen);
  ASSERT_NE(0u, stream);
  char buffer[16];
  DWORD read = 0;
  ASSERT_TRUE(provider_->STREAM_Read(stream, buffer, sizeof buffer, &read));
  EXPECT_EQ("ftp data", std::string(buffer, read));
  provider_->STREAM_Close(stream);
  std::ifstream in(record, std::ios::binary);
  EXPECT_EQ("GET ftp://files.example/pub/a.ogg HTTP/1.1\r\nAccept: */*\r\n----\r\n",
            std::string(std::istreambuf_iterator<char>(in), {}));
}

}  // namespace

namespace {

TEST_F(NetvarraModuleTest, SavedLoginsLiveInThePlugInsFolder) {
  const std::string file = Record().plugInsFolder + "ftplogins.dat";
  provider_->head.OBJECT_Exit();
  EXPECT_EQ(std::string(4, '\0'), twltest::ReadFile(file)) << "the last stop saves the empty database";

  const std::string truncated("\x40\0\0\0\x30\0\0\0\x01\0", 10);
  twltest::WriteFile(file, truncated);
  ASSERT_TRUE(provider_->head.OBJECT_Init()) << "a damaged file does not stop the plug-in";
  EXPECT_EQ(std::vector<std::string>{"Unable to load ftp login database. / 256"}, Record().errorLog);
  EXPECT_EQ(truncated, twltest::ReadFile(file + ".bad"));
  provider_->head.OBJECT_Exit();
  EXPECT_EQ(std::string(4, '\0'), twltest::ReadFile(file));
  EXPECT_EQ(truncated, twltest::ReadFile(file + ".bad")) << "the damaged file's servers are not lost";
  ASSERT_TRUE(provider_->head.OBJECT_Init());
  EXPECT_EQ(1u, Record().errorLog.size()) << "the saved file loads again";
}

}  // namespace
