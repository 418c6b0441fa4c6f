// The proxy database: registrations as plug-ins make them, settings as
// plug-ins receive them, and the stored form against bytes that python3's
// struct module builds, including values that lie about their lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "StoredBytes.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "playback/proxy/ProxyDataBase.h"

namespace {

using storedbytes::PythonBytes;

struct Registration {
  const char* protocol;
  const char* type;
  LONG port;
};

void Register(CProxyDataBase& proxies, const std::vector<Registration>& registrations) {
  for (const Registration& registration : registrations)
    ASSERT_TRUE(proxies.RegisterProxyType(registration.protocol, registration.type, registration.port));
}

// A readable stream over the bytes (its own copy).
class BytesStream : public CMemoryStream {
 public:
  explicit BytesStream(const std::string& bytes) {
    BYTE* block = bytes.empty() ? nullptr : new BYTE[bytes.size()];
    if (block) std::memcpy(block, bytes.data(), bytes.size());
    Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  }
};

// As a network source would be: it cannot tell its length.
class LengthlessStream : public BytesStream {
 public:
  using BytesStream::BytesStream;
  LONGLONG GetLength(bool, HANDLE) override { return -1; }
};

std::string Saved(CProxyDataBase& proxies) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 256, false);
  proxies.Save(stream);
  return std::string(reinterpret_cast<const char*>(stream.GetBuffer()),
                     static_cast<size_t>(stream.GetLength(true, nullptr)));
}

// The stream error code Load throws; 0 when it loads.
long LoadError(CProxyDataBase& proxies, CStream& stream) {
  try {
    proxies.Load(stream);
    return 0;
  } catch (CError* error) {
    const long code = IsKindOf<CStreamError>(error) ? static_cast<long>(static_cast<CStreamError*>(error)->GetCode()) : -1;
    DisposeError(error);
    return code;
  }
}

void ExpectSetting(const ProxySetting& setting, const char* type, const char* server, LONG port, DWORD option) {
  EXPECT_EQ(setting.hasType, type != nullptr);
  EXPECT_STREQ(setting.typeName.c_str(), type ? type : "");
  EXPECT_STREQ(setting.server.c_str(), server);
  EXPECT_EQ(setting.port, port);
  EXPECT_EQ(setting.option, option);
}

TEST(ProxyDataBase, RegistrationsGatherTypesPerProtocolWithoutRegardToCase) {
  CProxyDataBase proxies;
  Register(proxies, {{"http", "HTTP", 8080}, {"HTTP", "http", 3128}, {"ftp", "user@host", 8021}, {"Ftp", "HTTP", 8080}});
  ASSERT_EQ(proxies.GetCount(), 2u);
  CProxyInfo& http = *proxies.GetInfo(0);
  EXPECT_STREQ(http.GetProtocol().c_str(), "http");
  ASSERT_EQ(http.GetTypeCount(), 1u);
  EXPECT_STREQ(http.GetType(0)->GetName().c_str(), "HTTP");
  EXPECT_EQ(http.GetType(0)->GetDefaultPort(), 3128);
  CProxyInfo& ftp = *proxies.GetInfo(1);
  ASSERT_EQ(ftp.GetTypeCount(), 2u);
  EXPECT_STREQ(ftp.GetType(1)->GetName().c_str(), "HTTP");
  EXPECT_EQ(proxies.Find("FTP"), &ftp);
  // A new info: no proxy, port none, option on.
  EXPECT_EQ(ftp.GetSelectedType(), CProxyInfo::kNoType);
  EXPECT_EQ(ftp.GetPort(), CProxyInfo::kNoPort);
  EXPECT_TRUE(ftp.GetOption());
}

TEST(ProxyDataBase, RegistrationsWithoutProtocolOrTypeAreRefusedAsInvalidParameters) {
  CProxyDataBase proxies;
  const Registration refused[] = {{"", "HTTP", 1}, {"http", "", 1}, {nullptr, "HTTP", 1}, {"http", nullptr, 1}};
  for (const Registration& registration : refused) {
    SetThreadError(THREAD_ERROR_NONE, 0, nullptr);
    EXPECT_FALSE(proxies.RegisterProxyType(registration.protocol, registration.type, registration.port));
    EXPECT_EQ(GetThreadErrorState()->type, THREAD_ERROR_MISC);
    EXPECT_EQ(GetThreadErrorState()->code, MISC_ERROR_INVALID_PARAM);
  }
  EXPECT_EQ(proxies.GetCount(), 0u);
}

TEST(ProxyDataBase, AProtocolWithoutAChosenTypeHasNoProxy) {
  CProxyDataBase proxies;
  Register(proxies, {{"http", "HTTP", 8080}});
  ExpectSetting(proxies.GetProxy("http"), nullptr, "", -1, 0);
  ExpectSetting(proxies.GetProxy("gopher"), nullptr, "", -1, 0);
}

TEST(ProxyDataBase, StoredSettingsLoadIntoTheRegisteredTypes) {
  struct Row {
    const char* why;
    std::vector<Registration> registrations;
    std::string stored;  // a python expression
    const char* protocol;
    const char* type;  // null: no proxy
    const char* server;
    LONG port;
    DWORD option;
  };
  const std::vector<Registration> ftpTypes = {{"ftp", "user@host", 8021}, {"ftp", "HTTP", 8080}};
  const Row rows[] = {
      {"a port of none gives the type's default port", ftpTypes,
       R"(w(1) + t(b"ftp") + t(b"user@host") + t(b"gate.example") + w(-1) + w(1))", "ftp", "user@host",
       "gate.example", 8021, 1},
      {"the user's own port wins", ftpTypes, R"(w(1) + t(b"ftp") + t(b"HTTP") + t(b"10.0.0.1") + w(3129) + w(1))",
       "ftp", "HTTP", "10.0.0.1", 3129, 1},
      {"a type no plug-in registers any more leaves no proxy", ftpTypes,
       R"(w(1) + t(b"ftp") + t(b"socks") + t(b"gate.example") + w(1080) + w(1))", "ftp", nullptr, "", -1, 0},
      {"type names and protocols compare without case", ftpTypes,
       R"(w(1) + t(b"FTP") + t(b"USER@HOST") + t(b"gate") + w(-1) + w(1))", "ftp", "user@host", "gate", 8021, 1},
      {"only bit 0 of the stored option counts", ftpTypes,
       R"(w(1) + t(b"ftp") + t(b"HTTP") + t(b"gate") + w(-1) + w(2))", "ftp", "HTTP", "gate", 8080, 0},
      {"an empty type name stores no proxy", ftpTypes, R"(w(1) + t(b"ftp") + t(b""))", "ftp", nullptr, "", -1, 0},
      {"a protocol nobody registered is read and dropped", ftpTypes,
       R"(w(2) + t(b"gopher") + t(b"HTTP") + t(b"g") + w(70) + w(1) + t(b"ftp") + t(b"HTTP") + t(b"f") + w(-1) + w(1))",
       "ftp", "HTTP", "f", 8080, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    CProxyDataBase proxies;
    Register(proxies, row.registrations);
    BytesStream stream(PythonBytes(row.stored));
    EXPECT_EQ(LoadError(proxies, stream), 0);
    ExpectSetting(proxies.GetProxy(row.protocol), row.type, row.server, row.port, row.option);
    EXPECT_EQ(proxies.Find("gopher"), nullptr);
  }
}

TEST(ProxyDataBase, ValuesThatEndTooSoonOrClaimMoreThanTheyHoldFailWithEndOfStream) {
  struct Row {
    const char* why;
    std::string stored;
  };
  const std::string whole = R"(w(1) + t(b"ftp") + t(b"HTTP") + t(b"gate") + w(-1) + w(1))";
  const Row rows[] = {
      {"an empty value", R"(b"")"},
      {"a count cut short", R"(b"\x01\x00")"},
      {"a truncated value", "(" + whole + ")[:-2]"},
      {"a value cut inside the server text", "(" + whole + ")[:25]"},
      {"more infos counted than stored", R"(w(2) + t(b"ftp") + t(b""))"},
      {"a protocol length near 4 GiB", R"(w(1) + w(0xFFFFFFF0) + b"ftp")"},
      {"a server length beyond the end", R"(w(1) + t(b"ftp") + t(b"HTTP") + w(0x7FFFFFFF) + b"gate")"},
      {"a count of 4 Gi infos in a few bytes", R"(w(0xFFFFFFFF) + t(b"ftp") + t(b""))"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const std::string bytes = PythonBytes(row.stored);
    CProxyDataBase proxies;
    Register(proxies, {{"ftp", "HTTP", 8080}});
    BytesStream known(bytes);
    EXPECT_EQ(LoadError(proxies, known), CStreamError::kEndOfStream);
    LengthlessStream unknown(bytes);
    EXPECT_EQ(LoadError(proxies, unknown), CStreamError::kEndOfStream);
  }
}

TEST(ProxyDataBase, SavedSettingsAreExactlyThePythonBytes) {
  CProxyDataBase proxies;
  Register(proxies, {{"http", "HTTP", 8080}});
  EXPECT_EQ(storedbytes::ToHex(Saved(proxies)), "01000000040000006874747000000000");
  EXPECT_EQ(Saved(proxies), PythonBytes(R"(w(1) + t(b"http") + w(0))"));

  Register(proxies, {{"ftp", "user@host", 8021}, {"ftp", "HTTP", 8080}});
  proxies.Find("ftp")->Select(1, "gate.example", CProxyInfo::kNoPort);
  EXPECT_EQ(Saved(proxies),
            PythonBytes(R"(w(2) + t(b"http") + w(0) + t(b"ftp") + t(b"HTTP") + t(b"gate.example") + w(-1) + w(1))"));
}

TEST(ProxyDataBase, WhatIsSavedLoadsBackIntoTheNextStartsRegistrations) {
  CProxyDataBase before;
  Register(before, {{"ftp", "user@host", 8021}, {"http", "HTTP", 8080}});
  before.Find("ftp")->Select(0, "gate.example", 2121);
  before.Find("http")->Select(0, "web.example", CProxyInfo::kNoPort);
  BytesStream stored(Saved(before));

  CProxyDataBase after;
  Register(after, {{"http", "HTTP", 3128}, {"ftp", "HTTP", 8080}, {"ftp", "user@host", 8021}});
  EXPECT_EQ(LoadError(after, stored), 0);
  ExpectSetting(after.GetProxy("ftp"), "user@host", "gate.example", 2121, 1);
  ExpectSetting(after.GetProxy("http"), "HTTP", "web.example", 3128, 1);
  EXPECT_EQ(after.Find("ftp")->GetSelectedType(), 1);
}

}  // namespace
