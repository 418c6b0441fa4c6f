// Stopping a session from another thread: a read hanging in the source
// ends with CStreamError 19, the slot refuses opens until it is bound
// again, and an abort never waits for an open that is still connecting.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "SessionSupport.h"
#include "TestStreams.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "playback/data/DataSystem.h"

namespace {

using namespace sessions;
constexpr auto kPatience = std::chrono::seconds(10);

long OpenAndClose(CDataSystem& data, const std::string& url) {
  return StreamErrorOf([&] { data.OpenStream(url.c_str(), kReadFlags, 0, Player())->Close(); });
}

TEST(Abort, AbortSessionEndsABlockedReadWithShutdownAndOpensFailUntilTheSlotIsBoundAgain) {
  const std::string url = teststreams::Blocking("hanging");
  CDataSystem& data = BoundTo(url);
  CStream* session = data.OpenStream(url.c_str(), kReadFlags, 0, Player());

  auto reader = std::async(std::launch::async, [session] {
    char buffer[16];
    return StreamErrorOf([&] { session->Read(buffer, sizeof buffer); });
  });
  ASSERT_TRUE(teststreams::WaitUntilReadBlocks(url));
  data.AbortSession(kPlayerSession);
  // The read ends because of the abort, not a patience limit: the test
  // stream never gives up by itself. How quickly it ends is measured by
  // bench_playback_sessions (BM_AbortEndsABlockedRead).
  ASSERT_EQ(reader.wait_for(kPatience), std::future_status::ready) << "the abort did not end the read";
  EXPECT_EQ(reader.get(), CStreamError::kShutdown);
  session->CloseNoThrow();

  EXPECT_EQ(OpenAndClose(data, url), CStreamError::kShutdown);
  EXPECT_EQ(OpenAndClose(data, url), CStreamError::kShutdown);
  EXPECT_EQ(teststreams::OpenCount(url), 1);

  data.SetSessionUrl(kPlayerSession, url.c_str());
  EXPECT_EQ(OpenAndClose(data, url), 0);
  // The shut-down source is not used again.
  EXPECT_EQ(teststreams::OpenCount(url), 2);
  EXPECT_EQ(teststreams::CloseCount(url), 1);
}

TEST(Abort, AnAbortedSlotStillOpensOtherUrlsPlainly) {
  const std::string bound = teststreams::Counting("aborted-bound");
  const std::string other = teststreams::Counting("aborted-other");
  CDataSystem& data = BoundTo(bound);
  data.AbortSession(kPlayerSession);
  EXPECT_EQ(OpenAndClose(data, bound), CStreamError::kShutdown);
  EXPECT_EQ(OpenAndClose(data, other), 0);
  EXPECT_EQ(teststreams::OpenCount(bound), 0);
}

// A stop must not wait for a connection to time out: the open holds the
// slot while its source connects, yet the abort returns at once, and the
// open then fails with CStreamError 19 and closes what it connected.
TEST(Abort, AbortDoesNotWaitForAnOpenThatIsStillConnecting) {
  const std::string url = teststreams::Slow("connecting");
  CDataSystem& data = BoundTo(url);
  auto opener = std::async(std::launch::async, [&] { return OpenAndClose(data, url); });
  ASSERT_TRUE(teststreams::WaitUntilOpenWaits(url));

  auto abort = std::async(std::launch::async, [&] { data.AbortSession(kPlayerSession); });
  const bool returned = abort.wait_for(kPatience) == std::future_status::ready;
  teststreams::ReleaseOpen(url);
  EXPECT_TRUE(returned) << "the abort waited for the connection";
  ASSERT_EQ(opener.wait_for(kPatience), std::future_status::ready);
  EXPECT_EQ(opener.get(), CStreamError::kShutdown);
  EXPECT_EQ(teststreams::OpenCount(url), 1);
  EXPECT_EQ(teststreams::CloseCount(url), 1);
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), CMultiSessionStreamController::kNoSession);
}

// Hammering: sessions open, read and close on one thread while another
// aborts and binds the slot again; every read either succeeds with the
// right bytes or fails with CStreamError 19.
TEST(Abort, SessionsAndAbortsOnTwoThreadsNeverMixUpBytesOrLoseStreams) {
  const std::string url = teststreams::Counting("hammered");
  CDataSystem& data = BoundTo(url);
  std::atomic<bool> done{false};
  auto reader = std::async(std::launch::async, [&] {
    int wrong = 0;
    for (int turn = 0; turn < 300; ++turn) {
      const long code = StreamErrorOf([&] {
        CStream* stream = data.OpenStream(url.c_str(), kReadFlags, 0, Player());
        std::string bytes(1000, '\0');
        try {
          bytes.resize(stream->Read(bytes.data(), 1000));
        } catch (CError*) {
          stream->CloseNoThrow();
          throw;
        }
        stream->Close();
        if (bytes != teststreams::Content().substr(0, 1000)) ++wrong;
      });
      if (code != 0 && code != CStreamError::kShutdown) ++wrong;
    }
    done = true;
    return wrong;
  });
  while (!done) {
    data.AbortSession(kPlayerSession);
    std::this_thread::yield();
    data.SetSessionUrl(kPlayerSession, url.c_str());
  }
  EXPECT_EQ(reader.get(), 0);
  data.CloseSession(kPlayerSession, false);
  EXPECT_EQ(teststreams::OpenCount(url), teststreams::CloseCount(url));
}

}  // namespace
