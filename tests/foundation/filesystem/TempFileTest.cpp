// Temporary files: made in the temporary folder, deleted when their stream
// closes, and none left behind by a failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PipeStream.h"
#include "StreamChain.h"
#include "StreamTestHelpers.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/StreamError.h"
#include "support/TestPaths.h"

using streamtest::CatchStreamError;
using streamtest::TempFilesLeft;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TempFolder() {
  std::string folder = std::getenv("TMPDIR");
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

TEST(FileSystemTempFiles, TempFileURLNamesANewEmptyFile) {
  const CStr first = GetFileSystem().GetTempFileURL();
  const CStr second = GetFileSystem().GetTempFileURL();
  const std::string prefix = "file://" + TempFolder() + "bfs";
  ASSERT_EQ(std::string(first.c_str()).rfind(prefix, 0), 0u) << first.c_str();
  EXPECT_FALSE(first == second);
  const std::string path = first.c_str() + 7;
  EXPECT_TRUE(Exists(path));
  EXPECT_EQ(twltest::ReadFile(path), "");
  EXPECT_EQ(TempFilesLeft().size(), 2u);
}

TEST(FileSystemTempFiles, ATempStreamDeletesItsFileOnClose) {
  CStream* stream = GetFileSystem().CreateTempStream(nullptr, kStreamRead | kStreamWrite | kStreamSeek, 0);
  EXPECT_EQ(streamtest::ChainOf(stream), (std::vector<std::string>{"CTempStream"}));
  CStr url;
  stream->GetURL(url);
  const std::string path = url.c_str() + 7;
  EXPECT_EQ(path.rfind(TempFolder() + "bfs", 0), 0u) << path;
  stream->Write("temporary", 9);
  EXPECT_EQ(stream->Seek(0, kSeekFromStart, nullptr), 0);
  char text[16] = {};
  EXPECT_EQ(stream->Read(text, sizeof text), 9u);
  EXPECT_STREQ(text, "temporary");
  EXPECT_TRUE(Exists(path));
  stream->Close();
  EXPECT_FALSE(Exists(path));
  EXPECT_TRUE(TempFilesLeft().empty());

  // Buffered, as the seekable emulator asks for its cache.
  stream = GetFileSystem().CreateTempStream(nullptr, 0x107, 0);
  EXPECT_TRUE(stream->GetCapabilities() & kStreamBuffered);
  stream->Write("abc", 3);
  stream->CloseNoThrow();
  EXPECT_TRUE(TempFilesLeft().empty());
}

// Without a creation mode the named file is created anew, replacing one
// that exists.
TEST(FileSystemTempFiles, ANamedTempStreamReplacesTheFile) {
  const std::string path = twltest::MakeTempDir("named") + "/scratch.bin";
  twltest::WriteFile(path, "old contents");
  CStream* stream = GetFileSystem().CreateTempStream(path.c_str(), kStreamRead | kStreamWrite, 0);
  EXPECT_EQ(stream->GetLength(true, nullptr), 0);
  stream->Write("new", 3);
  EXPECT_EQ(twltest::ReadFile(path), "new");
  stream->Close();
  EXPECT_FALSE(Exists(path));
}

TEST(FileSystemTempFiles, FailuresLeaveNoFileBehind) {
  // The file is made, but opening it fails (an invalid creation mode).
  const auto badMode = CatchStreamError([] { GetFileSystem().CreateTempStream(nullptr, kStreamRead | 0x30000, 0); });
  EXPECT_EQ(badMode.code, CStreamError::kInvalidParam);
  EXPECT_TRUE(TempFilesLeft().empty());

  // No temporary file can be made at all.
  const std::string sandbox = std::getenv("TMPDIR");
  setenv("TMPDIR", (sandbox + "/missing-folder").c_str(), 1);
  EXPECT_TRUE(GetFileSystem().GetTempFileURL().IsEmpty());
  const auto none = CatchStreamError([] { GetFileSystem().CreateTempStream(nullptr, 7, 0); });
  setenv("TMPDIR", sandbox.c_str(), 1);
  EXPECT_EQ(none.code, CStreamError::kGenericOpen);
  EXPECT_EQ(none.path, "temporary file");
  EXPECT_EQ(none.text, "The file could not be openened. (file path: 'temporary file')");
}
