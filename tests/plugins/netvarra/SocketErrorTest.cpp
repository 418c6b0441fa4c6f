// The texts of socket errors and the stream errors made from them.
#include <gtest/gtest.h>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "plugins/netvarra/sockets/SocketError.h"
#include "plugins/netvarra/sockets/SocketStreamError.h"

namespace {

TEST(SocketError, TextJoinsContextAndCodeText) {
  struct {
    const char* why;
    int code;
    const char* context;
    const char* text;
  } cases[] = {
      {"context and a code", 11001, "Error resolving host name", "Error resolving host name ((11001) Host not found.)"},
      {"no code, no context", -1, "", ""},
      {"only a context", -1, "Unable to send data.", "Unable to send data."},
      {"only a code", 10054, "", "(10054) Connection reset by peer."},
      {"a code outside the table", 12345, "", "An unknown error occurred."},
      {"10101 keeps its old number", 10101, "", "(10094) Graceful shutdown in progress."},
      {"the long 10013", 10013, "",
       "(10013) Permission denied. An attempt was made to access a socket in a way forbidden by its access "
       "permissions."},
  };
  for (const auto& c : cases) {
    CSocketError error(c.code, c.context);
    EXPECT_STREQ(c.text, error.GetText().c_str()) << c.why;
    EXPECT_STREQ("Socket error", error.GetCaption().c_str()) << c.why;
    EXPECT_EQ(c.code, error.GetCode()) << c.why;
    EXPECT_STREQ(c.context, error.GetContext().c_str()) << c.why;
  }
}

TEST(SocketError, CloneKeepsEverything) {
  CSocketError error(10061, "Unable to establish connection.");
  CError* copy = error.Clone();
  ASSERT_TRUE(IsKindOf<CSocketError>(copy));
  EXPECT_TRUE(copy->IsHeapObject());
  EXPECT_EQ(10061, static_cast<CSocketError*>(copy)->GetCode());
  EXPECT_STREQ(error.GetText().c_str(), copy->GetText().c_str());
  EXPECT_STREQ("Unable to establish connection.", static_cast<CSocketError*>(copy)->GetContext().c_str());
  DisposeError(copy);
}

TEST(SocketStreamError, LostConnectionsAreCode15WithTheUrl) {
  struct {
    int winsock;
    const char* detail;
    DWORD code;
    const char* text;
  } cases[] = {
      {10054, "ftp://host/file.mp3", 15,
       "The connection was lost.; (10054) Connection reset by peer. (ftp://host/file.mp3)"},
      {10053, "", 15, "The connection was lost.; (10053) Software caused connection abort."},
      {10060, "http://host/", 1, "A generic error occurred.; (10060) Connection timed out. (http://host/)"},
  };
  for (const auto& c : cases) {
    CStreamError* error = MakeSocketStreamError(c.winsock, c.detail);
    EXPECT_EQ(c.code, error->GetCode()) << c.winsock;
    EXPECT_STREQ(c.detail, error->GetPath().c_str()) << c.winsock;
    EXPECT_STREQ(c.text, error->GetText().c_str()) << c.winsock;
    DisposeError(error);
  }
}

// A stream that cannot tell its URL.
class NamelessStream : public CMemoryStream {
 public:
  CStr& GetURL(CStr&) override { ThrowError<CStreamError>(CStreamError::kGeneric); }
};

TEST(SocketStreamError, AStreamWithoutAUrlGivesNoDetail) {
  NamelessStream stream;
  CStreamError* error = MakeSocketStreamErrorForStream(10054, stream);
  EXPECT_STREQ("", error->GetPath().c_str());
  EXPECT_STREQ("The connection was lost.; (10054) Connection reset by peer.", error->GetText().c_str());
  DisposeError(error);
}

}  // namespace
