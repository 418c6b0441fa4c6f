// The stream-provider and stream wrappers over in-process provider tables:
// the two sharing bits turned at each crossing, writes refused at home,
// closes that fail or not, pending errors, the head's defaults, and init
// refusing a provider the host could not drive.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "StubbedTable.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/streams/PlugInStreamProvider.h"

namespace {

// What the plug-in's functions answer and what they saw; set per test.
struct ProviderScript {
  DWORD capabilities = 0x0F;
  DWORD seenOpenFlags = 0;
  DWORD seenCanOpenFlags = 0;
  PLUGIN_CONTEXT seenContext = 0;
  BOOL urlResult = TRUE;
  BOOL closeResult = TRUE;
  BOOL pending = FALSE;
  DWORD failCode = 0;  // a stream error code Read fails with; 0: Read succeeds
  LONGLONG seekTo = 0;
  std::vector<std::string> calls;
};
ProviderScript g_Provider;

constexpr PLUGIN_STREAM kStream = 77;

void Note(const char* call) { g_Provider.calls.emplace_back(call); }

void ProviderVersion(PlugInVersionInfo* info) { *info = {0x10000, 0x10040}; }
char* ProviderDescription() { return HostAllocString("a provider"); }
BOOL CanOpen(const char* url, DWORD flags, DWORD* answer) {
  g_Provider.seenCanOpenFlags = flags;
  if (std::strncmp(url, "t://", 4) != 0) return FALSE;
  answer[0] = g_Provider.capabilities;
  answer[1] = 1000;
  answer[2] = 5;
  return TRUE;
}
PLUGIN_STREAM Open(const char* url, DWORD flags) {
  g_Provider.seenOpenFlags = flags;
  return std::strncmp(url, "t://", 4) == 0 ? kStream : 0;
}
void SetProperty(PLUGIN_STREAM, DWORD, DWORD) { Note("SetProperty"); }
BOOL GetURL(PLUGIN_STREAM, char** url) {
  if (!g_Provider.urlResult) {
    SetThreadError(THREAD_ERROR_STREAM, CStreamError::kConnectionLost, "gone");
    return FALSE;
  }
  *url = HostAllocString("t://a/b");
  return TRUE;
}
BOOL GetCapabilities(PLUGIN_STREAM, DWORD* capabilities) {
  *capabilities = g_Provider.capabilities;
  return TRUE;
}
BOOL Read(PLUGIN_STREAM, void* buffer, DWORD length, DWORD* read) {
  Note("Read");
  if (g_Provider.failCode) {
    SetThreadError(THREAD_ERROR_STREAM, g_Provider.failCode, "read failed");
    return FALSE;
  }
  std::memset(buffer, 'x', length);
  *read = length;
  return TRUE;
}
BOOL Skip(PLUGIN_STREAM, DWORD count, DWORD* skipped) {
  *skipped = count / 2;
  return TRUE;
}
BOOL Seek(PLUGIN_STREAM, DWORD low, DWORD high, DWORD origin, LONGLONG* position, HANDLE) {
  g_Provider.seekTo = static_cast<LONGLONG>((static_cast<ULONGLONG>(high) << 32) | low);
  *position = g_Provider.seekTo + origin;
  return TRUE;
}
BOOL SeekWouldWait(PLUGIN_STREAM, DWORD, DWORD, DWORD, BOOL* wait) {
  *wait = 5;
  return TRUE;
}
BOOL Position(PLUGIN_STREAM, LONGLONG* position) {
  *position = 1234;
  return TRUE;
}
BOOL Length(PLUGIN_STREAM, DWORD immediate, LONGLONG* length, HANDLE) {
  *length = immediate ? -1 : 5000000000LL;
  return TRUE;
}
BOOL Rate(PLUGIN_STREAM, DWORD* rate) {
  *rate = 44100;
  return TRUE;
}
BOOL ContentType(PLUGIN_STREAM, DWORD* result, char** type) {
  *result = STREAM_CONTENTTYPE_GIVEN;
  *type = HostAllocString("application/x-test");
  return TRUE;
}
BOOL AtEnd(PLUGIN_STREAM, BOOL* atEnd) {
  *atEnd = 2;
  return TRUE;
}
BOOL HasPendingError(PLUGIN_STREAM) {
  if (!g_Provider.pending) return FALSE;
  SetThreadError(THREAD_ERROR_STREAM, CStreamError::kConnectionLost, "lost it");
  return TRUE;
}
BOOL Shutdown(PLUGIN_STREAM) { return TRUE; }
BOOL Close(PLUGIN_STREAM) {
  Note("Close");
  if (g_Provider.closeResult) return TRUE;
  SetThreadError(THREAD_ERROR_STREAM, CStreamError::kGenericWrite, "flush failed");
  return FALSE;
}
BOOL CloseNoThrow(PLUGIN_STREAM) {
  Note("CloseNoThrow");
  return FALSE;
}

StreamProviderInterface ProviderTable() {
  StreamProviderInterface table{};
  table.head.OBJECT_GetVersion = &ProviderVersion;
  table.head.OBJECT_GetDescription = &ProviderDescription;
  table.STREAMPROVIDER_CanOpen = &CanOpen;
  table.STREAMPROVIDER_Open = &Open;
  table.STREAM_SetProperty = &SetProperty;
  table.STREAM_GetURL = &GetURL;
  table.STREAM_GetCapabilities = &GetCapabilities;
  table.STREAM_Read = &Read;
  table.STREAM_ReadSome = &Read;
  table.STREAM_Skip = &Skip;
  table.STREAM_SkipSome = &Skip;
  table.STREAM_Seek = &Seek;
  table.STREAM_SeekWouldWait = &SeekWouldWait;
  table.STREAM_GetPosition = &Position;
  table.STREAM_GetLength = &Length;
  table.STREAM_GetTransferRate = &Rate;
  table.STREAM_GetContentType = &ContentType;
  table.STREAM_IsAtEnd = &AtEnd;
  table.STREAM_HasPendingError = &HasPendingError;
  table.STREAM_Shutdown = &Shutdown;
  table.STREAM_Close = &Close;
  table.STREAM_CloseNoThrow = &CloseNoThrow;
  return table;
}

// --- the version-2 provider: every function records the context first

void ProviderVersion2(PLUGIN_CONTEXT, PlugInVersionInfo* info) { *info = {0x10000, 0x10040}; }
char* ProviderDescription2(PLUGIN_CONTEXT) { return HostAllocString("a provider"); }
PLUGIN_STREAM Open2(PLUGIN_CONTEXT context, const char* url, DWORD flags) {
  g_Provider.seenContext = context;
  return Open(url, flags);
}
BOOL GetURL2(PLUGIN_CONTEXT, PLUGIN_STREAM stream, char** url) { return GetURL(stream, url); }
BOOL Read2(PLUGIN_CONTEXT context, PLUGIN_STREAM stream, void* buffer, DWORD length, DWORD* read) {
  if (context != g_Provider.seenContext || stream != kStream) return FALSE;
  return Read(stream, buffer, length, read);
}
BOOL Close2(PLUGIN_CONTEXT, PLUGIN_STREAM stream) { return Close(stream); }

StreamProviderInterface2 ProviderTable2() {
  // Every slot filled (init checks them all); only those the test calls
  // do something.
  StreamProviderInterface2 table = streamtest::StubbedTable<StreamProviderInterface2>();
  table.head.OBJECT_GetVersion = &ProviderVersion2;
  table.head.OBJECT_GetDescription = &ProviderDescription2;
  table.STREAMPROVIDER_RegisterProxyTypes = nullptr;
  table.STREAMPROVIDER_Open = &Open2;
  table.STREAM_GetURL = &GetURL2;
  table.STREAM_Read = &Read2;
  table.STREAM_Close = &Close2;
  return table;
}

class PlugInStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Provider = ProviderScript{};
    ASSERT_TRUE(m_Provider.Init(&m_Table, "Test provider", "TestStreams")) << GetThreadErrorText().c_str();
  }

  CStream* OpenStream(DWORD flags = kStreamRead) {
    CStream* stream = m_Provider.Open("t://a/b", flags);
    EXPECT_NE(stream, nullptr);
    return stream;
  }

  const StreamProviderInterface m_Table = ProviderTable();
  CPlugInStreamProvider m_Provider;
};

// The stream error a call threw, disposed of.
DWORD ThrownStreamCode(const std::function<void()>& call, std::string* path = nullptr) {
  try {
    call();
  } catch (CError* error) {
    DWORD code = 0xFFFF;
    if (auto* streamError = dynamic_cast<CStreamError*>(error)) {
      code = streamError->GetCode();
      if (path) *path = streamError->GetPath().c_str();
    }
    DisposeError(error);
    return code;
  }
  return 0;
}

TEST_F(PlugInStreamTest, TheSharingBitsAreTurnedAtEveryCrossingAndNoOtherBit) {
  struct Case {
    DWORD plugInCapabilities;
    DWORD hostCapabilities;
  };
  for (const Case& c : {Case{0x0F, 0x30000F}, Case{0x300005, 0x5}, Case{0x100401, 0x200401}}) {
    SCOPED_TRACE(c.plugInCapabilities);
    g_Provider.capabilities = c.plugInCapabilities;
    StreamOpenAnswer answer{};
    ASSERT_TRUE(m_Provider.CanOpen("t://x", kStreamRead, answer));
    EXPECT_EQ(answer.capabilities, c.hostCapabilities);
    EXPECT_EQ(answer.transferRate, 1000u);
    EXPECT_EQ(answer.delay, 5u);
    CStream* stream = OpenStream();
    EXPECT_EQ(stream->GetCapabilities(), c.hostCapabilities);
    stream->Close();
  }
  struct FlagCase {
    DWORD host;
    DWORD plugIn;
  };
  for (const FlagCase& c : {FlagCase{0x100001, 0x200001}, FlagCase{0x1, 0x300001}, FlagCase{0x340003, 0x40003}}) {
    SCOPED_TRACE(c.host);
    StreamOpenAnswer answer{};
    m_Provider.CanOpen("t://x", c.host, answer);
    EXPECT_EQ(g_Provider.seenCanOpenFlags, c.plugIn);
    OpenStream(c.host)->Close();
    EXPECT_EQ(g_Provider.seenOpenFlags, c.plugIn);
  }
}

TEST_F(PlugInStreamTest, AnUrlThatIsNotTheProvidersIsNoErrorAndLeavesTheAnswer) {
  StreamOpenAnswer answer{1, 2, 3};
  EXPECT_FALSE(m_Provider.CanOpen("http://x", kStreamRead, answer));
  EXPECT_EQ(answer.capabilities, 1u);
  EXPECT_EQ(m_Provider.Open("http://x", kStreamRead), nullptr);
}

TEST_F(PlugInStreamTest, CallsReachTheirSlotsAndAnswersComeBackWhole) {
  CStream* stream = OpenStream();
  CStr url;
  EXPECT_STREQ(stream->GetURL(url).c_str(), "t://a/b");
  char buffer[8];
  EXPECT_EQ(stream->Read(buffer, sizeof buffer), 8u);
  EXPECT_EQ(stream->Skip(10), 5u);
  EXPECT_EQ(stream->Seek(0x123456789LL, 2, nullptr), 0x123456789LL + 2);
  EXPECT_EQ(g_Provider.seekTo, 0x123456789LL) << "the offset crosses as two words, low first";
  EXPECT_TRUE(stream->SeekWouldWait(1, 0));
  EXPECT_EQ(stream->GetPosition(), 1234);
  EXPECT_EQ(stream->GetLength(false, nullptr), 5000000000LL);
  EXPECT_EQ(stream->GetLength(true, nullptr), -1);
  EXPECT_EQ(stream->GetTransferRate(), 44100u);
  EXPECT_TRUE(stream->IsAtEnd());
  CStr type;
  EXPECT_EQ(stream->GetContentType(type), STREAM_CONTENTTYPE_GIVEN);
  EXPECT_STREQ(type.c_str(), "application/x-test");
  stream->SetProperty(CStream::kDataEventProperty, 99);
  EXPECT_EQ(stream->GetProperty(CStream::kDataEventProperty), 99u);
  EXPECT_EQ(g_Provider.calls, (std::vector<std::string>{"Read", "SetProperty"}));
  stream->Close();
}

TEST_F(PlugInStreamTest, WritingIsRefusedWithoutAskingThePlugIn) {
  CStream* stream = OpenStream();
  g_Provider.calls.clear();
  std::string path = "unset";
  EXPECT_EQ(ThrownStreamCode([&] { stream->Write("ab", 2); }, &path), static_cast<DWORD>(CStreamError::kNotPermitted));
  EXPECT_EQ(path, "");
  EXPECT_TRUE(g_Provider.calls.empty());
  stream->Close();
}

TEST_F(PlugInStreamTest, AFailingCloseKeepsTheWrapperAndCloseNoThrowReleasesIt) {
  CStream* stream = OpenStream();
  g_Provider.closeResult = FALSE;
  EXPECT_EQ(ThrownStreamCode([&] { stream->Close(); }), static_cast<DWORD>(CStreamError::kGenericWrite));
  EXPECT_EQ(stream->GetPosition(), 1234) << "still alive";
  stream->CloseNoThrow();  // the sanitizer sees a leak or a double free here
  EXPECT_EQ(g_Provider.calls, (std::vector<std::string>{"Close", "CloseNoThrow"}));
}

TEST_F(PlugInStreamTest, ThePlugInsErrorsReachTheReaderWithTheirCode) {
  CStream* stream = OpenStream();
  g_Provider.failCode = CStreamError::kConnectionLost;
  char buffer[4];
  EXPECT_EQ(ThrownStreamCode([&] { stream->Read(buffer, 4); }), static_cast<DWORD>(CStreamError::kConnectionLost));

  EXPECT_EQ(stream->GetPendingError(), nullptr);
  g_Provider.pending = TRUE;
  CStreamError* pending = stream->GetPendingError();
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(pending->GetCode(), static_cast<DWORD>(CStreamError::kConnectionLost));
  EXPECT_STREQ(pending->GetPath().c_str(), "t://a/b");
  DisposeError(pending);
  stream->CloseNoThrow();
}

TEST_F(PlugInStreamTest, AStreamWhoseUrlCannotBeHadIsClosedInThePlugInBeforeTheErrorIsThrown) {
  g_Provider.urlResult = FALSE;
  EXPECT_EQ(ThrownStreamCode([&] { m_Provider.Open("t://a/b", kStreamRead); }),
            static_cast<DWORD>(CStreamError::kConnectionLost));
  EXPECT_EQ(g_Provider.calls, std::vector<std::string>{"CloseNoThrow"});
}

TEST_F(PlugInStreamTest, EmptyOptionalHeadSlotsGiveTheirDefaults) {
  EXPECT_EQ(m_Provider.GetImageIndex(), -1);
  EXPECT_FALSE(m_Provider.HasConfigure());
  EXPECT_TRUE(m_Provider.Configure(nullptr));
  EXPECT_FALSE(m_Provider.HasInfo());
  EXPECT_TRUE(m_Provider.ShowInfo(nullptr));
  EXPECT_TRUE(m_Provider.RestoreSurfaces());
  m_Provider.BeginSkinChange();
  m_Provider.EndSkinChange();
  EXPECT_STREQ(m_Provider.GetName(), "Test provider");
  EXPECT_STREQ(m_Provider.GetDescription(), "a provider");
  EXPECT_EQ(m_Provider.GetHandle(), &m_Table) << "version 1: the table";
}

TEST(PlugInStreamProviderInit, AProviderLackingAFunctionTheHostCallsWithoutLookingIsRefused) {
  struct Case {
    const char* name;
    size_t offset;
  };
  const Case cases[] = {
      {"STREAMPROVIDER_CanOpen", offsetof(StreamProviderInterface, STREAMPROVIDER_CanOpen)},
      {"STREAMPROVIDER_Open", offsetof(StreamProviderInterface, STREAMPROVIDER_Open)},
      {"STREAM_Read", offsetof(StreamProviderInterface, STREAM_Read)},
      {"STREAM_GetLength", offsetof(StreamProviderInterface, STREAM_GetLength)},
      {"STREAM_CloseNoThrow", offsetof(StreamProviderInterface, STREAM_CloseNoThrow)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StreamProviderInterface table = ProviderTable();
    *reinterpret_cast<void**>(reinterpret_cast<char*>(&table) + c.offset) = nullptr;
    CPlugInStreamProvider provider;
    EXPECT_FALSE(provider.Init(&table, "Broken", "Broken"));
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
    EXPECT_NE(std::string(GetThreadErrorText().c_str()).find(c.name), std::string::npos) << GetThreadErrorText().c_str();
    StreamOpenAnswer answer{};
    EXPECT_FALSE(provider.CanOpen("t://x", kStreamRead, answer));
    EXPECT_EQ(provider.Open("t://x", kStreamRead), nullptr);
  }
}

TEST(PlugInStreamProvider2, StreamCallsCarryTheObjectsContextThenTheStream) {
  g_Provider = ProviderScript{};
  const StreamProviderInterface2 table = ProviderTable2();
  CPlugInStreamProvider2 provider;
  ASSERT_TRUE(provider.Init(&table, 0xC0DE, "Test provider", "TestStreams<p>", "TestStreams"))
      << GetThreadErrorText().c_str();
  EXPECT_EQ(provider.GetHandle(), static_cast<CTypedObject*>(&provider)) << "version 2: the wrapper";
  CStream* stream = provider.Open("t://a/b", 0x100001);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(g_Provider.seenContext, 0xC0DEu);
  EXPECT_EQ(g_Provider.seenOpenFlags, 0x200001u);
  EXPECT_STREQ(stream->GetClassRecord()->className, "CPlugInStream2");
  char buffer[3];
  EXPECT_EQ(stream->Read(buffer, 3), 3u);
  stream->Close();
}

}  // namespace
