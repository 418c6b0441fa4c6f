// Temporary streams delete exactly their own file when they close.
#include "foundation/streams/TempStream.h"

#include <gtest/gtest.h>

#include <string>

#include "StreamTestHelpers.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/MemoryStream.h"
#include "support/TestPaths.h"

using streamtest::CodeThrown;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

CStream* OpenTempFile(const std::string& url) {
  auto* inner = new CDiskFileStream;
  inner->Open(url.c_str(), kStreamRead | kStreamWrite | kStreamCreateAlways, true);
  return new CTempStream(inner);
}

// A stream that names a file but cannot be closed.
class CUnclosableStream : public CMemoryStream {
 public:
  explicit CUnclosableStream(std::string url) : m_URL(std::move(url)) {}
  CStr& GetURL(CStr& url) override { return url = m_URL.c_str(); }
  void Close() override {
    if (m_Fail) ThrowError<CStreamError>(CStreamError::kGenericWrite);
    CMemoryStream::Close();
    delete this;
  }
  bool m_Fail = true;

 private:
  std::string m_URL;
};

}  // namespace

TEST(TempStream, PassesOperationsAndDeletesItsFileOnClose) {
  const std::string path = twltest::MakeTempDir("temp") + "/bfs1.tmp";
  CStream* stream = OpenTempFile("file://" + path);
  stream->Write("abc", 3);
  EXPECT_EQ(stream->Seek(0, kSeekFromStart, nullptr), 0);
  char buffer[4] = {};
  EXPECT_EQ(stream->Read(buffer, 4), 3u);
  EXPECT_TRUE(stream->IsAtEnd());
  CStr url;
  EXPECT_EQ(stream->GetURL(url), ("file://" + path).c_str());
  stream->SetProperty(CStream::kErrorEventProperty, 42);
  EXPECT_EQ(stream->GetProperty(CStream::kErrorEventProperty), 42u);
  EXPECT_TRUE(Exists(path));
  stream->Close();
  EXPECT_FALSE(Exists(path));

  stream = OpenTempFile("FILE://" + path);
  stream->CloseNoThrow();
  EXPECT_FALSE(Exists(path));
}

// A temporary file named by a plain path: the file deleted is that path,
// never the path less its first seven characters.
TEST(TempStream, PlainPathDeletesThatFileOnly) {
  const std::string dir = twltest::MakeTempDir("plain");
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  twltest::WriteFile(dir + "/victim.tmp", "keep me");
  CStream* stream = OpenTempFile("0123456victim.tmp");
  EXPECT_TRUE(Exists(dir + "/0123456victim.tmp"));
  stream->Close();
  EXPECT_FALSE(Exists(dir + "/0123456victim.tmp"));
  EXPECT_EQ(twltest::ReadFile(dir + "/victim.tmp"), "keep me");

  stream = OpenTempFile("0123456victim.tmp");
  stream->CloseNoThrow();
  EXPECT_FALSE(Exists(dir + "/0123456victim.tmp"));
  EXPECT_TRUE(Exists(dir + "/victim.tmp"));
}

TEST(TempStream, InnerCloseErrorKeepsTheFileAndTheWrapper) {
  const std::string path = twltest::MakeTempDir("failing") + "/bfs2.tmp";
  twltest::WriteFile(path, "data");
  auto* inner = new CUnclosableStream("file://" + path);
  inner->Open(nullptr, 0, kStreamRead | kStreamWrite, 16, false);
  CStream* stream = new CTempStream(inner);
  EXPECT_EQ(CodeThrown([&] { stream->Close(); }), CStreamError::kGenericWrite);
  EXPECT_TRUE(Exists(path));
  inner->m_Fail = false;
  stream->CloseNoThrow();
  EXPECT_FALSE(Exists(path));
}

TEST(TempStream, HasNoContentTypeOfItsOwn) {
  auto* inner = new CMemoryStream;
  inner->Open(nullptr, 0, kStreamRead, 16, true, "audio/x-test");
  CStream* stream = new CTempStream(inner);
  CStr type = "x";
  EXPECT_EQ(stream->GetContentType(type), 1u);
  EXPECT_TRUE(type.IsEmpty());
  stream->CloseNoThrow();  // memfile:// names no file: nothing is deleted
}
