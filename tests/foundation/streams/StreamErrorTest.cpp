// Stream errors: texts, path suffix, and the forms built from a stream or
// from another error.
#include "foundation/streams/StreamError.h"

#include <gtest/gtest.h>

#include "StreamTestHelpers.h"
#include "foundation/streams/MemoryStream.h"

namespace {

// A stream whose URL cannot be had.
class CUrlFailingStream : public CMemoryStream {
 public:
  CStr& GetURL(CStr&) override { ThrowError<CStreamError>(CStreamError::kGeneric); }
};

class CNamedStream : public CMemoryStream {
 public:
  CStr& GetURL(CStr& url) override { return url = "file:///music/a.mp3"; }
};

}  // namespace

TEST(StreamError, CodeTexts) {
  struct Row {
    DWORD code;
    const char* text;
  };
  const Row rows[] = {
      {0, "No error occurred."},
      {5, "The file could not be openened."},
      {7, "The initiated action ist not permitted on this object."},
      {10, "The file was not found."},
      {11, "There is not enough free space on the device left to perform this action."},
      {17, "Can't establish connection."},
      {20, "The file format is not supported."},
      {21, "An unknown error occurred."},
      {0xFFFFFFFF, "An unknown error occurred."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CStreamError::GetCodeText(row.code), row.text) << row.code;
    CStreamError error(row.code);
    EXPECT_EQ(error.GetText(), row.text) << row.code;
    EXPECT_EQ(error.GetCaption(), "Stream Error");
  }
}

TEST(StreamError, PathSuffixAndStreamForms) {
  CStreamError withPath(CStreamError::kFileNotFound, "/a/b c.txt");
  EXPECT_EQ(withPath.GetText(), "The file was not found. (file path: '/a/b c.txt')");
  EXPECT_EQ(withPath.GetPath(), "/a/b c.txt");
  EXPECT_EQ(CStreamError(CStreamError::kFileNotFound, "").GetText(), "The file was not found.");

  CNamedStream named;
  CStreamError forStream(CStreamError::kShutdown, named);
  EXPECT_EQ(forStream.GetText(), "The stream has been shut down. (file path: 'file:///music/a.mp3')");

  CUrlFailingStream failing;
  CStreamError forFailing(CStreamError::kShutdown, failing);
  EXPECT_EQ(forFailing.GetText(), "The stream has been shut down.");
  EXPECT_TRUE(forFailing.GetPath().IsEmpty());
}

TEST(StreamError, FromAnotherError) {
  CStreamError stream(CStreamError::kAccessDenied, "a");
  CStreamError kept(stream, "other");
  EXPECT_EQ(kept.GetCode(), CStreamError::kAccessDenied);
  EXPECT_EQ(kept.GetPath(), "a");
  EXPECT_EQ(kept.GetText(), stream.GetText());

  CError plain("Caption", "x");
  CStreamError wrapped(plain, "p");
  EXPECT_EQ(wrapped.GetCode(), CStreamError::kGeneric);
  EXPECT_EQ(wrapped.GetPath(), "p");
  EXPECT_EQ(wrapped.GetText(), "A generic error occurred.: x (file path: 'p')");
  EXPECT_EQ(wrapped.GetCaption(), "Stream Error");

  CNamedStream named;
  EXPECT_EQ(CStreamError(plain, named).GetPath(), "file:///music/a.mp3");
  EXPECT_EQ(CStreamError(stream, named).GetPath(), "a");
}

TEST(StreamError, CloneKeepsEverything) {
  CStreamError error(CStreamError::kCorrupted, "f");
  CError* copy = error.Clone();
  ASSERT_TRUE(IsKindOf<CStreamError>(copy));
  auto* stream = static_cast<CStreamError*>(copy);
  EXPECT_EQ(stream->GetCode(), CStreamError::kCorrupted);
  EXPECT_EQ(stream->GetPath(), "f");
  EXPECT_EQ(stream->GetText(), error.GetText());
  EXPECT_EQ(stream->GetCaption(), error.GetCaption());
  EXPECT_TRUE(copy->IsHeapObject());
  DisposeError(copy);
}

TEST(StreamError, BuildingOneKeepsTheLastError) {
  SetLastError(ERROR_DISK_FULL);
  CNamedStream named;
  CStreamError error(CStreamError::kGeneric, named);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
}
