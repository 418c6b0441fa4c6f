// Host streams as plug-ins use them: a fixture plug-in reading a file in
// odd chunks with seeks both ways, positions beyond 4 GiB, the sharing
// bits, and handles the host never gave out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "StreamReaderTable.h"
#include "DiskFileSupport.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/plugins/PlugIn.h"
#include "support/TestPaths.h"

namespace {

using diskfiletest::Host;

using diskfiletest::Caller;

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

}  // namespace
