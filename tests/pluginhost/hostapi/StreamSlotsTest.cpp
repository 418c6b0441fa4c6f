// Host streams as plug-ins use them: a fixture plug-in reading a file in
// odd chunks with seeks both ways, positions beyond 4 GiB, the sharing
// bits, and handles the host never gave out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "StreamReaderTable.h"
#include "DiskFileSupport.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamProvider.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/plugins/PlugIn.h"
#include "support/TestPaths.h"

namespace {

using diskfiletest::Host;

using diskfiletest::Caller;

// "waiting://" streams: a read waits until the stream is shut down, as a
// network read waits for data, then fails as a shut-down stream does. Each
// step goes into one log.
struct WaitingStreamLog {
  std::mutex lock;
  std::condition_variable changed;
  bool shutDown = false;
  std::vector<std::string> steps;

  void Note(const char* step) {
    std::lock_guard guard(lock);
    steps.emplace_back(step);
    changed.notify_all();
  }
  void WaitFor(const std::string& step) {
    std::unique_lock guard(lock);
    changed.wait(guard, [&] { return std::find(steps.begin(), steps.end(), step) != steps.end(); });
  }
};

WaitingStreamLog& WaitingLog() {
  static WaitingStreamLog log;
  return log;
}

class WaitingStream final : public CStream {
 public:
  ~WaitingStream() override { WaitingLog().Note("gone"); }
  CStr& GetURL(CStr& url) override { return url = "waiting://"; }
  DWORD GetCapabilities() override { return kStreamRead | kStreamFlowing; }
  DWORD Read(void*, DWORD) override {
    WaitingLog().Note("reading");
    {
      std::unique_lock guard(WaitingLog().lock);
      WaitingLog().changed.wait(guard, [] { return WaitingLog().shutDown; });
    }
    WaitingLog().Note(m_ReadEnds.c_str());  // the stream must still be there
    ThrowError<CStreamError>(CStreamError::kShutdown);
  }
  DWORD ReadSome(void*, DWORD) override { return 0; }
  DWORD Skip(DWORD) override { return 0; }
  DWORD SkipSome(DWORD) override { return 0; }
  void Write(const void*, DWORD) override { ThrowError<CStreamError>(CStreamError::kNotPermitted); }
  void Flush() override {}
  LONGLONG Seek(LONGLONG, DWORD, HANDLE) override { ThrowError<CStreamError>(CStreamError::kNotPermitted); }
  bool SeekWouldWait(LONGLONG, DWORD) override { return true; }
  LONGLONG GetPosition() override { return 0; }
  LONGLONG GetLength(bool, HANDLE) override { return -1; }
  DWORD GetTransferRate() override { return 0; }
  bool IsAtEnd() override { return false; }
  void Shutdown() override {
    {
      std::lock_guard guard(WaitingLog().lock);
      WaitingLog().shutDown = true;
    }
    WaitingLog().Note("shut down");
  }
  void Close() override { delete this; }
  void CloseNoThrow() override { delete this; }

 private:
  std::string m_ReadEnds = "read ends";
};

class WaitingProvider : public CStreamProvider {
 public:
  bool CanOpen(const char* url, DWORD, StreamOpenAnswer& answer) override {
    if (std::strncmp(url, "waiting://", 10) != 0) return false;
    answer = {kStreamRead | kStreamFlowing, 0, 0};
    return true;
  }
  CStream* Open(const char* url, DWORD) override {
    return std::strncmp(url, "waiting://", 10) == 0 ? new WaitingStream : nullptr;
  }
};

// The StreamReader fixture, loaded and started.
class StreamReader {
 public:
  StreamReader() {
    EXPECT_TRUE(m_PlugIn.Load(TWL_FIXTURE_PLUGIN_DIR "/StreamReader.dll", "StreamReader.dll"));
    EXPECT_TRUE(m_PlugIn.Init());
    m_Table = static_cast<const StreamReaderTable*>(m_PlugIn.GetObject(PLUGINOBJ_PLAYER));
  }
  const StreamReaderTable* operator->() const { return m_Table; }
  // What the host knows the object by: a version-1 object's table.
  PLUGIN_HANDLE Handle() const { return const_cast<StreamReaderTable*>(m_Table); }

 private:
  CPlugIn m_PlugIn;
  const StreamReaderTable* m_Table = nullptr;
};

TEST(StreamSlots, APlugInReadsTenMegabytesInOddChunksWithSeeksBothWays) {
  const std::string dir = twltest::MakeTempDir("streams");
  ASSERT_EQ(twltest::RunCommand("head -c 10000000 /dev/urandom > '" + dir + "/random.bin'"), 0);
  StreamReader reader;
  const long blocks = GetLiveHostBlockCount();
  char why[256] = "";
  ASSERT_TRUE(reader->CopyWithSeeks(("file://" + dir + "/random.bin").c_str(), (dir + "/copy.bin").c_str(), why))
      << why << " / " << GetThreadErrorText().c_str();
  EXPECT_EQ(twltest::RunCommand("cmp -s '" + dir + "/random.bin' '" + dir + "/copy.bin'"), 0);
  EXPECT_EQ(GetLiveHostBlockCount(), blocks);
}

TEST(StreamSlots, ASeekBeyondFourGigabytesReadsTheBytesPlacedThere) {
  const std::string path = twltest::MakeTempDir("sparse") + "/sparse.bin";
  const long long offset = (5ll << 30) + 12345;  // high word 1, low word in use
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, "far away", 8, offset), 8);
  close(fd);

  StreamReader reader;
  char bytes[8] = {};
  ASSERT_TRUE(reader->ReadAt(path.c_str(), static_cast<DWORD>(offset), static_cast<DWORD>(offset >> 32), bytes, 8));
  EXPECT_EQ(std::string(bytes, 8), "far away");

  HOST_STREAM stream = nullptr;
  ASSERT_TRUE(Host().HOST_OpenStream(path.c_str(), HOST_STREAM_READ, 0, Caller(), &stream));
  DWORD length[2] = {};
  ASSERT_TRUE(Host().HOST_StreamGetLength(stream, TRUE, length, 0));
  EXPECT_EQ(length[0], static_cast<DWORD>(offset + 8));
  EXPECT_EQ(length[1], 1u);
  // From the end, backwards: a negative offset in two words.
  DWORD position[2] = {};
  ASSERT_TRUE(Host().HOST_StreamSeek(stream, static_cast<DWORD>(-8), 0xFFFFFFFF, 2, position, nullptr));
  EXPECT_EQ(position[0], static_cast<DWORD>(offset));
  EXPECT_EQ(position[1], 1u);
  BOOL atEnd = TRUE;
  EXPECT_TRUE(Host().HOST_StreamIsEOF(stream, &atEnd));
  EXPECT_FALSE(atEnd);
  EXPECT_TRUE(Host().HOST_StreamClose(stream));
}

TEST(StreamSlots, OpenFlagsZeroShareTheFileBothWaysAndTheFlagsComeBackInPlugInForm) {
  const std::string path = twltest::MakeTempDir("share") + "/shared.bin";
  twltest::WriteFile(path, "0123456789");
  HOST_STREAM stream = nullptr;
  ASSERT_TRUE(Host().HOST_OpenStream(("file://" + path).c_str(), 0, 0, Caller(), &stream));
  // Others may still read and write the file.
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(other, INVALID_HANDLE_VALUE) << GetLastError();
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  DWORD flags = 0;
  ASSERT_TRUE(Host().HOST_StreamGetFlags(stream, &flags));
  EXPECT_EQ(flags & (HOST_STREAM_DENY_READ | HOST_STREAM_DENY_WRITE), 0u);
  EXPECT_NE(flags & HOST_STREAM_SEEK, 0u);
  Host().HOST_StreamRelease(stream);

  // Denying writing keeps writers out and shows in the flags.
  ASSERT_TRUE(Host().HOST_OpenStream(path.c_str(), HOST_STREAM_READ | HOST_STREAM_DENY_WRITE, 0, Caller(), &stream));
  other =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Host().HOST_StreamGetFlags(stream, &flags));
  EXPECT_EQ(flags & (HOST_STREAM_DENY_READ | HOST_STREAM_DENY_WRITE), HOST_STREAM_DENY_WRITE);
  EXPECT_TRUE(Host().HOST_StreamClose(stream));
}

TEST(StreamSlots, PathContentTypeAndPendingErrorOfADiskStream) {
  const std::string path = twltest::MakeTempDir("info") + "/a.bin";
  twltest::WriteFile(path, "abc");
  HOST_STREAM stream = nullptr;
  ASSERT_TRUE(Host().HOST_OpenStream(("file://" + path).c_str(), HOST_STREAM_READ, 0, Caller(), &stream));
  char* url = nullptr;
  ASSERT_TRUE(Host().HOST_StreamGetPath(stream, &url));
  EXPECT_EQ(std::string(url), "file://" + path);
  Host().HOST_Free(url);
  DWORD result = 9;
  char* type = reinterpret_cast<char*>(1);
  ASSERT_TRUE(Host().HOST_StreamGetContentType(stream, &result, &type));
  EXPECT_NE(result, 0u);
  EXPECT_EQ(type, nullptr);
  Host().HOST_SetStreamError(3);
  EXPECT_FALSE(Host().HOST_StreamCheckError(stream));
  EXPECT_EQ(Host().HOST_GetStreamErrorCode(), 3u) << "no pending error: the thread error is left alone";
  DWORD skipped = 0;
  EXPECT_TRUE(Host().HOST_StreamSkip(stream, 10, &skipped));
  EXPECT_EQ(skipped, 3u);
  EXPECT_TRUE(Host().HOST_StreamClose(stream));
}

TEST(StreamSlots, FailuresAndBadHandlesBecomeThreadErrors) {
  const HostApiTable& h = Host();
  HOST_STREAM stream = nullptr;
  EXPECT_FALSE(
      h.HOST_OpenStream((twltest::SandboxDir() + "/missing.bin").c_str(), HOST_STREAM_READ, 0, Caller(), &stream));
  EXPECT_EQ(h.HOST_GetStreamErrorCode(), 10u);
  EXPECT_EQ(stream, nullptr);

  const std::string path = twltest::MakeTempDir("bad") + "/a.bin";
  twltest::WriteFile(path, "abc");
  ASSERT_TRUE(h.HOST_OpenStream(path.c_str(), HOST_STREAM_READ, 0, Caller(), &stream));
  ASSERT_TRUE(h.HOST_StreamClose(stream));
  DWORD count = 0;
  char buffer[4];
  struct Row {
    const char* what;
    BOOL answer;
  };
  const Row rows[] = {
      {"read of a closed stream", h.HOST_StreamRead(stream, buffer, 4, &count)},
      {"read of a made-up stream", h.HOST_StreamRead(reinterpret_cast<HOST_STREAM>(buffer), buffer, 4, &count)},
      {"read of no stream", h.HOST_StreamRead(nullptr, buffer, 4, &count)},
      {"close twice", h.HOST_StreamClose(stream)},
      {"open without URL", h.HOST_OpenStream(nullptr, 1, 0, Caller(), &stream)},
      {"open without a place for the stream", h.HOST_OpenStream(path.c_str(), 1, 0, Caller(), nullptr)},
      {"file system info without caller", h.HOST_GetFileSystemInfo(path.c_str(), 1, nullptr, nullptr)},
      {"exclusive access without player", h.GetExclusiveFileAccess(path.c_str(), nullptr)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    h.HOST_SetError(0, 0, nullptr);
    EXPECT_FALSE(row.answer);
  }
  h.HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(h.HOST_StreamRead(stream, buffer, 4, &count));
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 1u);
  h.HOST_StreamRelease(stream);  // a stale handle is ignored

  EXPECT_FALSE(h.GetExclusiveFileAccess(path.c_str(), Caller()));
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 5u);
}

// Opens carry the caller's handle to the data system: a plug-in owning the
// player's session slot reads its bound file through it (and so meets the
// slot's abort), any other caller opens the file plainly.
TEST(StreamSlots, OpensGoThroughTheSessionSlotTheCallersHandleOwns) {
  const std::string path = twltest::MakeTempDir("session") + "/bound.bin";
  twltest::WriteFile(path, "bound bytes");
  StreamReader reader;
  CDataSystem& data = GetDataSystem();
  data.SetSessionOwner(kPlayerSession, reader.Handle());
  data.SetSessionUrl(kPlayerSession, path.c_str());
  char bytes[5] = {};
  ASSERT_TRUE(reader->ReadAt(path.c_str(), 6, 0, bytes, 5)) << GetThreadErrorText().c_str();
  EXPECT_EQ(std::string(bytes, 5), "bytes");

  data.AbortSession(kPlayerSession);
  EXPECT_FALSE(reader->ReadAt(path.c_str(), 6, 0, bytes, 5));
  EXPECT_EQ(Host().HOST_GetErrorType(), HOST_ERROR_STREAM);
  EXPECT_EQ(Host().HOST_GetStreamErrorCode(), 19u);
  HOST_STREAM stream = nullptr;
  ASSERT_TRUE(Host().HOST_OpenStream(path.c_str(), HOST_STREAM_READ, 0, Caller(), &stream));
  EXPECT_TRUE(Host().HOST_StreamClose(stream));

  data.SetSessionUrl(kPlayerSession, path.c_str());
  EXPECT_TRUE(reader->ReadAt(path.c_str(), 0, 0, bytes, 5)) << GetThreadErrorText().c_str();
  EXPECT_EQ(std::string(bytes, 5), "bound");
  data.CloseSession(kPlayerSession, false);
}

TEST(StreamSlots, FileSystemInfoNamesTheProviderAnswer) {
  const std::string path = twltest::MakeTempDir("info") + "/a.bin";
  twltest::WriteFile(path, "abc");
  HostFileSystemAnswer answer{};
  ASSERT_TRUE(Host().HOST_GetFileSystemInfo(("file://" + path).c_str(), HOST_STREAM_READ, &answer, Caller()));
  EXPECT_EQ(answer.capabilities & (HOST_STREAM_READ | HOST_STREAM_SEEK), HOST_STREAM_READ | HOST_STREAM_SEEK);
  EXPECT_FALSE(Host().HOST_GetFileSystemInfo("nosuch://x", HOST_STREAM_READ, &answer, Caller()));
  EXPECT_EQ(Host().HOST_GetStreamErrorCode(), 9u);
}

// A plug-in's thread waits in a read while another closes the stream: the
// read is shut down, and the stream goes only after the read has returned.
TEST(StreamSlots, AStreamClosedWhileAnotherThreadReadsItIsShutDownAndGoesAfterTheRead) {
  GetFileSystem().AddProvider(new WaitingProvider);
  constexpr DWORD kNoEmulators = 0xF;
  HOST_STREAM stream = nullptr;
  ASSERT_TRUE(Host().HOST_OpenStream("waiting://a", HOST_STREAM_READ, kNoEmulators, Caller(), &stream))
      << Host().HOST_GetErrorText();
  BOOL answer = TRUE;
  DWORD error = 0;
  std::thread reader([&] {
    char bytes[4];
    DWORD count = 0;
    answer = Host().HOST_StreamRead(stream, bytes, sizeof bytes, &count);
    error = Host().HOST_GetStreamErrorCode();
  });
  WaitingLog().WaitFor("reading");
  EXPECT_TRUE(Host().HOST_StreamClose(stream)) << "the reader closes it";
  reader.join();

  EXPECT_FALSE(answer);
  EXPECT_EQ(error, 19u) << "shut down";
  EXPECT_EQ(WaitingLog().steps, (std::vector<std::string>{"reading", "shut down", "read ends", "gone"}));
  EXPECT_EQ(CountSlotsInStream(stream), 0u);
  Host().HOST_SetError(0, 0, nullptr);
  DWORD position[2] = {};
  EXPECT_FALSE(Host().HOST_StreamGetPosition(stream, position));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u) << "a stale handle";
}

}  // namespace
