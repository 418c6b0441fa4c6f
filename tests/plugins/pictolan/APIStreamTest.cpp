// CAPIStream over a scripted host stream: the chunks it asks for, the
// counts it believes, the flags it turns around, the errors it makes of
// host failures, and its progress counters under a second thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "foundation/kernel/ClassManager.h"
#include "foundation/streams/StreamError.h"
#include "pluginhost/hostapi/HostApi.h"
#include "plugins/pluginsdk/APIStream.h"

namespace {

// One scripted stream at a time: `remaining` bytes to deliver, each read
// call logged with the size asked for.
struct ScriptedStream {
  DWORD remaining = 0;
  DWORD overReport = 0;  // added to each count the host reports
  DWORD flags = 0;
  bool fail = false;     // every failing slot sets the error below
  DWORD errorType = HOST_ERROR_STREAM;
  DWORD errorCode = 10;
  std::vector<DWORD> reads;
  std::atomic<int> lengthCalls{0};
  std::atomic<int> lengthUnknownCalls{0};  // this many GetLength answers are "unknown"
  DWORD length = 200000;
  bool closed = false;
  bool released = false;
};
ScriptedStream* g_Script = nullptr;
HOST_STREAM const kHandle = reinterpret_cast<HOST_STREAM>(0x77);

BOOL Fail() {
  const HostApiTable* host = GetHostApiTable();
  host->HOST_SetError(g_Script->errorType, g_Script->errorCode, "host says no");
  return FALSE;
}

BOOL ScriptGetPath(HOST_STREAM, char** url) {
  *url = GetHostApiTable()->HOST_AllocString("file:///pictures/a.png");
  return TRUE;
}
BOOL ScriptRead(HOST_STREAM, void* buffer, DWORD size, DWORD* count) {
  if (g_Script->fail) return Fail();
  g_Script->reads.push_back(size);
  const DWORD given = std::min(size, g_Script->remaining);
  std::memset(buffer, 0xAB, given);
  g_Script->remaining -= given;
  *count = given + g_Script->overReport;
  return TRUE;
}
BOOL ScriptGetFlags(HOST_STREAM, DWORD* flags) {
  if (g_Script->fail) return Fail();
  *flags = g_Script->flags;
  return TRUE;
}
BOOL ScriptGetLength(HOST_STREAM, BOOL, DWORD* length, uintptr_t) {
  ++g_Script->lengthCalls;
  if (g_Script->lengthUnknownCalls.fetch_sub(1) > 0) {
    length[0] = length[1] = 0xFFFFFFFFu;
    return TRUE;
  }
  length[0] = g_Script->length;
  length[1] = 0;
  return TRUE;
}
BOOL ScriptSeek(HOST_STREAM, DWORD low, DWORD high, DWORD, DWORD* position, HANDLE) {
  if (g_Script->fail) return Fail();
  position[0] = low;
  position[1] = high;
  return TRUE;
}
BOOL ScriptClose(HOST_STREAM) {
  if (g_Script->fail) return Fail();
  g_Script->closed = true;
  return TRUE;
}
void ScriptRelease(HOST_STREAM) { g_Script->released = true; }
BOOL ScriptCheckError(HOST_STREAM) { return g_Script->fail ? (Fail(), TRUE) : FALSE; }
BOOL ScriptUntouched(...) {
  ADD_FAILURE() << "the host was called";
  return FALSE;
}

class APIStreamTest : public testing::Test {
 protected:
  APIStreamTest() {
    g_Script = &script_;
    table_ = *GetHostApiTable();
    table_.HOST_StreamGetPath = &ScriptGetPath;
    table_.HOST_StreamRead = &ScriptRead;
    table_.HOST_StreamReadSome = &ScriptRead;
    table_.HOST_StreamGetFlags = &ScriptGetFlags;
    table_.HOST_StreamGetLength = &ScriptGetLength;
    table_.HOST_StreamSeek = &ScriptSeek;
    table_.HOST_StreamClose = &ScriptClose;
    table_.HOST_StreamRelease = &ScriptRelease;
    table_.HOST_StreamCheckError = &ScriptCheckError;
    stream_ = new CAPIStream(kHandle, table_);
  }
  ~APIStreamTest() override {
    if (stream_) stream_->CloseNoThrow();
    g_Script = nullptr;
  }

  // The error the operation throws, as code and text; "none" when none.
  template <class Operation>
  std::string Thrown(Operation operation) {
    try {
      operation();
    } catch (CError* error) {
      std::string shown = "other";
      if (IsKindOf<CStreamError>(error)) {
        auto* streamError = static_cast<CStreamError*>(error);
        shown = std::to_string(streamError->GetCode()) + " " + streamError->GetText().c_str() + " @" +
                streamError->GetPath().c_str();
      }
      DisposeError(error);
      return shown;
    }
    return "none";
  }

  ScriptedStream script_;
  HostApiTable table_{};
  CAPIStream* stream_ = nullptr;
};

TEST_F(APIStreamTest, ReadsGoInChunksOf64KiBAndStopAtTheFirstShortOne) {
  script_.remaining = 200000;
  std::vector<BYTE> buffer(200000 + 16, 0);
  EXPECT_EQ(stream_->Read(buffer.data(), 200000), 200000u);
  EXPECT_EQ(script_.reads, (std::vector<DWORD>{65536, 65536, 65536, 3392}));
  ULONGLONG transferred = 0, length = 0;
  stream_->GetProgress(transferred, length);
  EXPECT_EQ(transferred, 200000u);

  script_.reads.clear();
  script_.remaining = 40;
  EXPECT_EQ(stream_->Read(buffer.data(), 100), 40u);
  EXPECT_EQ(script_.reads, std::vector<DWORD>{100}) << "one host call";
  script_.reads.clear();
  EXPECT_EQ(stream_->Read(buffer.data(), 0), 0u);
  EXPECT_TRUE(script_.reads.empty()) << "nothing asked, nothing called";
  stream_->ResetTransferCount();
  stream_->GetProgress(transferred, length);
  EXPECT_EQ(transferred, 0u);
}

TEST_F(APIStreamTest, AHostCountAboveTheChunkIsAStreamErrorNotAWritePastTheBuffer) {
  script_.remaining = 50;
  script_.overReport = 1000;
  std::vector<BYTE> buffer(100, 0);
  EXPECT_EQ(Thrown([&] { stream_->Read(buffer.data(), 100); }).substr(0, 2), "1 ");
  ULONGLONG transferred = 0, length = 0;
  stream_->GetProgress(transferred, length);
  EXPECT_EQ(transferred, 0u) << "the claimed bytes are not counted";
}

TEST_F(APIStreamTest, SharingBitsAreTurnedAroundAndWritingIsRefusedBeforeTheHostIsAsked) {
  script_.flags = 0x100000 | 0x5;
  EXPECT_EQ(stream_->GetCapabilities(), 0x200000u | 0x5);
  table_.HOST_StreamRead = reinterpret_cast<decltype(table_.HOST_StreamRead)>(&ScriptUntouched);
  const BYTE byte = 1;
  EXPECT_EQ(Thrown([&] { stream_->Write(&byte, 1); }).substr(0, 2), "7 ");
  stream_->Flush();
  stream_->Shutdown();
  CStr url;
  EXPECT_STREQ(stream_->GetURL(url).c_str(), "file:///pictures/a.png");
  EXPECT_EQ(stream_->Seek(0x123456789LL, kSeekFromStart, nullptr), 0x123456789LL) << "two words, low first";
  const CClassRecord* record = GetClassManager().FindClass("CAPIStream");
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->IsDerivedFrom(&CStream::ClassRecord));
}

TEST_F(APIStreamTest, HostFailuresBecomeStreamErrorsWithTheHostsText) {
  struct Case {
    const char* why;
    DWORD type;
    DWORD code;
    std::string expected;
  };
  const Case cases[] = {
      {"a stream error keeps its code", HOST_ERROR_STREAM, 10, "10 host says no @file:///pictures/a.png"},
      {"any other error is code 1", HOST_ERROR_MISC, 3, "1 host says no @file:///pictures/a.png"},
  };
  std::vector<BYTE> buffer(10);
  for (const Case& c : cases) {
    script_.fail = true;
    script_.errorType = c.type;
    script_.errorCode = c.code;
    EXPECT_EQ(Thrown([&] { stream_->Read(buffer.data(), 10); }), c.expected) << c.why;
    EXPECT_EQ(Thrown([&] { stream_->GetCapabilities(); }), c.expected) << c.why;
    EXPECT_EQ(Thrown([&] { stream_->Seek(0, kSeekFromStart, nullptr); }), c.expected) << c.why;
  }
  // A pending error is handed over, not thrown; one of another family
  // names the path in its text.
  CStreamError* pending = stream_->GetPendingError();
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(pending->GetCode(), 1u);
  EXPECT_STREQ(pending->GetText().c_str(), "host says no (file:///pictures/a.png)");
  DisposeError(pending);
  // A failed Close leaves the adapter; CloseNoThrow ends it anyway.
  EXPECT_NE(Thrown([&] { stream_->Close(); }), "none");
  EXPECT_FALSE(script_.closed);
  stream_->CloseNoThrow();
  stream_ = nullptr;
  EXPECT_TRUE(script_.released);
}

TEST_F(APIStreamTest, ProgressAsksForTheLengthUntilItIsKnownThenKeepsIt) {
  script_.lengthUnknownCalls = 3;
  script_.remaining = 1 << 20;
  // The reader and the progress display run together.
  std::thread reader([&] {
    std::vector<BYTE> buffer(4096);
    for (int i = 0; i < 200; ++i) stream_->Read(buffer.data(), static_cast<DWORD>(buffer.size()));
  });
  ULONGLONG transferred = 0, length = CAPIStream::kUnknownLength;
  int asked = 0;
  while (length == CAPIStream::kUnknownLength) {
    stream_->GetProgress(transferred, length);
    ++asked;
  }
  EXPECT_EQ(asked, 4);
  EXPECT_EQ(length, 200000u);
  for (int i = 0; i < 100; ++i) stream_->GetProgress(transferred, length);
  EXPECT_EQ(script_.lengthCalls.load(), 4) << "cached once known";
  reader.join();
  stream_->GetProgress(transferred, length);
  EXPECT_EQ(transferred, 200u * 4096);
}

}  // namespace
