// A non-seekable source opened through the global file system gets the
// emulators the caller asks for, and they leave nothing behind.
#include <gtest/gtest.h>

#include <string>

#include "PipeStream.h"
#include "StreamChain.h"
#include "foundation/filesystem/FileSystem.h"
#include "support/TestPaths.h"

using namespace streamtest;

// Readers such as the ini parser ask for the length first and then read
// that many bytes: the length emulator scans the pipe into a temporary
// file and serves the bytes from there.
TEST(FileSystemPipe, LengthFirstThenTheSameBytes) {
  const ScopedPipeProvider provider;
  PipeState& pipe = provider.State();
  const std::string dir = twltest::MakeTempDir("pipe");
  const std::string source = dir + "/source.bin";
  twltest::WriteFile(source, PatternBytes(5 * 1024 * 1024));

  CStream* stream = GetFileSystem().Open(("pipe://" + source).c_str(), 0x100009, 0);
  EXPECT_EQ(ChainOf(stream), (std::vector<std::string>{"CGetLengthStreamEmulator", "CStream"}));
  EXPECT_EQ(stream->GetCapabilities(), kStreamRead | kStreamLengthKnown);
  const LONGLONG length = stream->GetLength(false, nullptr);
  ASSERT_EQ(length, 5 * 1024 * 1024);
  EXPECT_EQ(TempFilesLeft().size(), 1u);  // the scan's cache

  std::string copy(static_cast<size_t>(length), '\0');
  DWORD done = 0;
  while (done < length) {
    const DWORD got = stream->Read(copy.data() + done, std::min<DWORD>(65521, static_cast<DWORD>(length) - done));
    ASSERT_GT(got, 0u);
    done += got;
  }
  EXPECT_TRUE(stream->IsAtEnd());
  stream->Close();
  twltest::WriteFile(dir + "/copy.bin", copy);
  EXPECT_EQ(twltest::RunCommand("cmp '" + source + "' '" + dir + "/copy.bin'"), 0);

  EXPECT_TRUE(TempFilesLeft().empty());
  EXPECT_EQ(PipeOpens(pipe), 1);
  EXPECT_EQ(PipeBytesServed(pipe), length);
  EXPECT_EQ(PipeStreamsOpen(pipe), 0);
}
