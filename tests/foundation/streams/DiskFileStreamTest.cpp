// Disk file streams on real files: reading, writing, seeking, skipping,
// and the stream errors of real failures.
#include "foundation/streams/DiskFileStream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "StreamTestHelpers.h"
#include "support/TestPaths.h"

using streamtest::CatchStreamError;
using streamtest::Caught;
using streamtest::CodeThrown;

namespace {

// The stream error of opening (and, when given, then using) a disk stream.
Caught OpenError(const std::string& url, DWORD flags, void (*use)(CDiskFileStream&) = nullptr) {
  return CatchStreamError([&] {
    CDiskFileStream stream;
    stream.Open(url.c_str(), flags, false);
    if (use) use(stream);
  });
}

std::string PathSuffix(const std::string& path) { return " (file path: '" + path + "')"; }

}  // namespace

// Exit code: the stream error code of reading args[0] as nobody; the text
// goes to args[1]. 100 when privileges could not be dropped.
TWLTEST_CHILD(OpenAsNobody) {
  if (setgid(65534) != 0 || setuid(65534) != 0) return 100;
  const Caught caught = OpenError(args[0], kStreamRead);
  std::ofstream(args[1]) << caught.text.c_str();
  return static_cast<int>(caught.code);
}

namespace {

// A file that the reader may not read: as root the open runs in a child
// that gave up root first.
Caught UnreadableFileError(const std::string& dir) {
  const std::string locked = dir + "/locked.txt";
  twltest::WriteFile(locked, "secret");
  chmod(locked.c_str(), 0);
  if (geteuid() != 0) return OpenError(locked, kStreamRead);
  chmod(twltest::SandboxDir().c_str(), 0711);
  chmod(dir.c_str(), 0777);
  const std::string textFile = dir + "/child-text.txt";
  const int status = twltest::WaitChild(twltest::SpawnChild("OpenAsNobody", {locked, textFile}));
  Caught caught;
  caught.code = WIFEXITED(status) ? WEXITSTATUS(status) : -3;
  caught.text = twltest::ReadFile(textFile).c_str();
  caught.path = locked.c_str();
  return caught;
}

}  // namespace

TEST(DiskFileStream, RealFailuresGiveTheirCodesAndNameTheURL) {
  const std::string dir = twltest::MakeTempDir("errors");
  twltest::WriteFile(dir + "/exists.txt", "x");
  struct Row {
    const char* what;
    std::function<Caught()> provoke;
    DWORD code;
    std::string url;
  };
  const std::string missing = dir + "/missing.txt";
  const Row rows[] = {
      {"missing file", [&] { return OpenError(missing, kStreamRead); }, CStreamError::kFileNotFound, missing},
      {"missing file by file:// URL", [&] { return OpenError("file://" + missing, kStreamRead); },
       CStreamError::kFileNotFound, "file://" + missing},
      {"file without read permission", [&] { return UnreadableFileError(dir); }, CStreamError::kAccessDenied,
       dir + "/locked.txt"},
      {"writing /dev/full",
       [] { return OpenError("/dev/full", kStreamWrite, [](CDiskFileStream& s) { s.Write("data", 4); }); },
       CStreamError::kNotEnoughFreeSpace, "/dev/full"},
      {"create-new mode on an existing file",
       [&] { return OpenError(dir + "/exists.txt", kStreamWrite | kStreamCreateNew); }, CStreamError::kAccessDenied,
       dir + "/exists.txt"},
      {"unknown scheme", [] { return OpenError("http://example.org/a.mp3", kStreamRead); },
       CStreamError::kUnsupportedProtocol, "http://example.org/a.mp3"},
      {"invalid creation mode", [&] { return OpenError(dir + "/exists.txt", kStreamRead | 0x30000); },
       CStreamError::kInvalidParam, dir + "/exists.txt"},
      {"Windows drive path", [] { return OpenError("FILE://D:\\x.txt", kStreamRead); }, CStreamError::kFileNotFound,
       "FILE://D:\\x.txt"},
      {"reading a file opened for writing only",
       [&] {
         return OpenError(dir + "/exists.txt", kStreamWrite, [](CDiskFileStream& s) {
           char byte;
           s.Read(&byte, 1);
         });
       },
       CStreamError::kAccessDenied, dir + "/exists.txt"},
  };
  for (const Row& row : rows) {
    const Caught caught = row.provoke();
    EXPECT_EQ(caught.code, row.code) << row.what;
    EXPECT_EQ(std::string(caught.text.c_str()),
              std::string(CStreamError::GetCodeText(row.code).c_str()) + PathSuffix(row.url))
        << row.what;
  }
}

// A device that never ends and a named pipe nobody writes are no files to
// read: refused at once, by file:// URL too; writing to a device stays.
TEST(DiskFileStream, PipesAndDevicesAreNotRead) {
  const std::string fifo = twltest::MakeTempDir("pipes") + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {std::string("/dev/zero"), fifo}) {
    for (const std::string& url : {path, "file://" + path}) {
      const Caught caught = OpenError(url, kStreamRead);
      EXPECT_EQ(caught.code, CStreamError::kGenericOpen) << url;
      EXPECT_EQ(std::string(caught.text.c_str()), "'" + path + "' is no file but a pipe or a device: it is not read.")
          << url;
    }
  }
  EXPECT_EQ(OpenError("/dev/null", kStreamWrite, [](CDiskFileStream& s) { s.Write("data", 4); }).code, -1)
      << "nothing thrown";
}

TEST(DiskFileStream, WritesReadsAndSeeks) {
  const std::string path = twltest::MakeTempDir("io") + "/data.bin";
  const std::string url = "FiLe://" + path;
  CDiskFileStream stream;
  stream.Open(url.c_str(), kStreamRead | kStreamWrite | kStreamShareRead | kStreamCreateAlways | kStreamBuffered,
              false);
  EXPECT_EQ(stream.GetCapabilities(), kStreamRead | kStreamWrite | kStreamSeek | kStreamLengthKnown | kStreamShareRead);
  CStr got;
  EXPECT_EQ(stream.GetURL(got), url.c_str());
  stream.Write("0123456789", 10);
  stream.Flush();
  EXPECT_EQ(stream.GetLength(true, nullptr), 10);
  EXPECT_TRUE(stream.IsAtEnd());
  EXPECT_EQ(stream.Seek(-4, kSeekFromEnd, nullptr), 6);
  char buffer[16] = {};
  EXPECT_EQ(stream.ReadSome(buffer, 16), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(stream.Seek(2, kSeekFromStart, nullptr), 2);
  EXPECT_EQ(stream.Skip(3), 3u);
  EXPECT_EQ(stream.Seek(-1, kSeekFromCurrent, nullptr), 4);
  EXPECT_EQ(stream.Skip(100), 6u);
  EXPECT_EQ(stream.SkipSome(0), 0u);
  EXPECT_FALSE(stream.SeekWouldWait(0, kSeekFromStart));
  const auto badOrigin = CatchStreamError([&] { stream.Seek(0, 7, nullptr); });
  EXPECT_EQ(badOrigin.code, CStreamError::kInvalidParam);
  EXPECT_EQ(badOrigin.path, url.c_str());
  EXPECT_EQ(CodeThrown([&] { stream.Seek(-1, kSeekFromStart, nullptr); }), CStreamError::kInvalidParam);
  stream.Close();
  EXPECT_EQ(twltest::ReadFile(path), "0123456789");
}

// Seeking past the end is allowed; a skip from there has nothing to skip
// and must not move backwards.
TEST(DiskFileStream, SkipAfterASeekPastTheEndStaysPut) {
  const std::string path = twltest::MakeTempDir("skip") + "/ten.bin";
  twltest::WriteFile(path, "0123456789");
  CDiskFileStream stream;
  stream.Open(path.c_str(), kStreamRead, false);
  EXPECT_EQ(stream.Seek(100, kSeekFromStart, nullptr), 100);
  EXPECT_EQ(stream.Skip(5), 0u);
  EXPECT_EQ(stream.GetPosition(), 100);
  EXPECT_FALSE(stream.IsAtEnd());
  char byte;
  EXPECT_EQ(stream.Read(&byte, 1), 0u);
}

TEST(DiskFileStream, CreationModes) {
  const std::string dir = twltest::MakeTempDir("modes");
  const std::string path = dir + "/f.txt";
  const auto open = [&](DWORD mode) {
    return CatchStreamError([&] {
             CDiskFileStream stream;
             stream.Open(path.c_str(), kStreamWrite | mode, false);
             stream.Write("new", 3);
           })
        .code;
  };
  EXPECT_EQ(open(kStreamOpenExisting), CStreamError::kFileNotFound);
  EXPECT_EQ(open(kStreamOpenExistingToo), CStreamError::kFileNotFound);
  EXPECT_EQ(open(kStreamOpenAlways), -1);
  EXPECT_EQ(twltest::ReadFile(path), "new");
  twltest::WriteFile(path, "old contents");
  EXPECT_EQ(open(kStreamOpenExistingToo), -1);
  EXPECT_EQ(twltest::ReadFile(path), "new contents");
  EXPECT_EQ(open(kStreamCreateAlways), -1);
  EXPECT_EQ(twltest::ReadFile(path), "new");
  EXPECT_EQ(open(kStreamCreateNew), CStreamError::kAccessDenied);
}

TEST(DiskFileStream, ShutdownGuardsTheOperationsButNotClose) {
  const std::string path = twltest::MakeTempDir("shutdown") + "/f.txt";
  twltest::WriteFile(path, "abc");
  CDiskFileStream stream;
  stream.Open(path.c_str(), kStreamRead, false);
  stream.Shutdown();
  const Caught caught = CatchStreamError([&] { stream.GetPosition(); });
  EXPECT_EQ(caught.code, CStreamError::kShutdown);
  EXPECT_EQ(std::string(caught.text.c_str()), "The stream has been shut down." + PathSuffix(path));
  EXPECT_EQ(CodeThrown([&] { stream.GetTransferRate(); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { stream.Skip(1); }), CStreamError::kShutdown);
  CStr url;
  EXPECT_EQ(stream.GetURL(url), path.c_str());
  stream.Close();
  // A new Open clears the shutdown.
  stream.Open(path.c_str(), kStreamRead, false);
  EXPECT_EQ(stream.GetLength(true, nullptr), 3);
}

// A second Open closes the first file; a delete-on-close stream ends itself
// (the sanitizer run would show a leak or a double free).
TEST(DiskFileStream, ReopenAndDeleteOnClose) {
  const std::string dir = twltest::MakeTempDir("reopen");
  twltest::WriteFile(dir + "/a", "aaaa");
  twltest::WriteFile(dir + "/b", "bb");
  auto* stream = new CDiskFileStream;
  stream->Open((dir + "/a").c_str(), kStreamRead, false);
  stream->Open((dir + "/b").c_str(), kStreamRead, true);
  EXPECT_EQ(stream->GetLength(true, nullptr), 2);
  stream->CloseNoThrow();

  CDiskFileStream member;
  member.Open((dir + "/a").c_str(), kStreamRead, false);
  member.Close();
  member.Close();
}

// The data event of a readable file with data left is signalled at once.
TEST(DiskFileStream, DataEvent) {
  const std::string path = twltest::MakeTempDir("event") + "/f.txt";
  twltest::WriteFile(path, "abc");
  CDiskFileStream stream;
  stream.Open(path.c_str(), kStreamRead, false);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  stream.SetProperty(CStream::kDataEventProperty, HandleToULong(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(event);
  CStr type = "x";
  EXPECT_EQ(stream.GetContentType(type), 1u);
  EXPECT_TRUE(type.IsEmpty());
}
