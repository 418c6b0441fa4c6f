// The host finder: answers and failures from the testing table reach the
// owner's event; cancelled lookups never do.
#include "NetTestSupport.h"
#include "plugins/netvarra/sockets/AsyncHostFinder.h"

namespace {

using AsyncHostFinderTest = nettest::NetTest;

std::string FirstAddress(const HOSTENT* entry) {
  const auto* b = reinterpret_cast<const unsigned char*>(entry->h_addr_list[0]);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
}

TEST_F(AsyncHostFinderTest, AnswersByNameAndByAddress) {
  CAsyncHostFinder finder;
  finder.Start("ok.example", event);
  ASSERT_TRUE(nettest::Signalled(event));
  ASSERT_NE(nullptr, finder.GetResult());
  EXPECT_EQ("192.0.2.5", FirstAddress(finder.GetResult()));
  EXPECT_EQ(nullptr, finder.GetError());
  EXPECT_EQ(DWORD{TWL_LOOKUP_BY_NAME}, TwlTestLastLookupKind());

  ResetEvent(event);
  finder.Start("127.0.0.1", event);
  ASSERT_TRUE(nettest::Signalled(event));
  ASSERT_NE(nullptr, finder.GetResult());
  EXPECT_EQ("127.0.0.1", FirstAddress(finder.GetResult()));
  EXPECT_EQ(DWORD{TWL_LOOKUP_BY_ADDRESS}, TwlTestLastLookupKind()) << "a dotted address is not looked up by name";
}

TEST_F(AsyncHostFinderTest, AFailedLookupSetsTheEventAndLeavesItsError) {
  CAsyncHostFinder finder;
  finder.Start("fail.example", event);
  ASSERT_TRUE(nettest::Signalled(event));
  EXPECT_EQ(nullptr, finder.GetResult());
  CError* error = finder.GetError();
  ASSERT_NE(nullptr, error);
  EXPECT_STREQ("Error resolving host name ((11001) Host not found.)", error->GetText().c_str());
  EXPECT_STREQ("Socket error", error->GetCaption().c_str());
  CError* second = finder.GetError();
  EXPECT_NE(error, second) << "each caller gets its own copy";
  DisposeError(error);
  DisposeError(second);
  finder.Cancel();
  EXPECT_EQ(nullptr, finder.GetError()) << "Cancel forgets the error";
}

TEST_F(AsyncHostFinderTest, CancelWaitsForTheThreadAndSetsNothing) {
  CAsyncHostFinder finder;
  finder.Start("slow.example", event);
  EXPECT_EQ(2, GetLiveThreadCount()) << "the finder's thread runs";
  finder.Cancel();
  EXPECT_EQ(1, GetLiveThreadCount()) << "Cancel returned after the thread ended";
  EXPECT_FALSE(nettest::Signalled(event, 100));
  EXPECT_EQ(nullptr, finder.GetResult());
}

TEST_F(AsyncHostFinderTest, ASecondStartCancelsTheFirst) {
  CAsyncHostFinder finder;
  HANDLE firstEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  finder.Start("slow.example", firstEvent);
  finder.Start("ok.example", event);
  ASSERT_TRUE(nettest::Signalled(event));
  EXPECT_EQ("192.0.2.5", FirstAddress(finder.GetResult()));
  EXPECT_FALSE(nettest::Signalled(firstEvent, 100));
  CloseHandle(firstEvent);
}

}  // namespace
