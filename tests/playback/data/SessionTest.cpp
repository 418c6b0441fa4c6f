// Session slots as players and the file identifier meet them through the
// data system: one underlying stream per bound URL for successive openers,
// a fresh one for an opener that comes while a session is open, routing by
// the caller's handle, the progress counter, detach, hard release and the
// seek rule over the file system's read buffer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SessionSupport.h"
#include "TestStreams.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "playback/data/DataSystem.h"

namespace {

using namespace sessions;
using teststreams::CloseCount;
using teststreams::Content;
using teststreams::OpenCount;

constexpr ULONGLONG kNoSession = CMultiSessionStreamController::kNoSession;

// A stream that is closed at the end of the scope unless closed before.
class Opened {
 public:
  explicit Opened(CStream* stream) : m_Stream(stream) {}
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
  ~Opened() { Close(); }
  CStream* operator->() const { return m_Stream; }
  std::string Read(DWORD size) {
    std::string bytes(size, '\0');
    bytes.resize(m_Stream->Read(bytes.data(), size));
    return bytes;
  }
  void Close() {
    if (m_Stream) std::exchange(m_Stream, nullptr)->Close();
  }

 private:
  CStream* m_Stream;
};

TEST(Sessions, TwoSuccessiveOpensOfTheBoundUrlOpenTheSourceOnceAndTheSecondReadsFromByteZero) {
  const std::string url = teststreams::Counting("successive");
  CDataSystem& data = BoundTo(url);
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), kNoSession);
  {
    Opened first(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
    EXPECT_EQ(first.Read(5000), Content().substr(0, 5000));
  }
  Opened second(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
  EXPECT_EQ(second->GetPosition(), 0);
  EXPECT_EQ(second.Read(100), Content().substr(0, 100));
  EXPECT_EQ(OpenCount(url), 1);
  EXPECT_EQ(CloseCount(url), 0);
}

TEST(Sessions, AnOpenDuringAnOpenSessionGetsAFreshSourceWhileTheFirstKeepsItsOwn) {
  const std::string url = teststreams::Counting("overlapping");
  CDataSystem& data = BoundTo(url);
  Opened first(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
  EXPECT_EQ(first.Read(1000), Content().substr(0, 1000));

  Opened second(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
  EXPECT_EQ(OpenCount(url), 2);
  EXPECT_EQ(second.Read(10), Content().substr(0, 10));
  EXPECT_EQ(first.Read(500), Content().substr(1000, 500));

  // The first source goes with its session; the slot keeps the second.
  first.Close();
  EXPECT_EQ(CloseCount(url), 1);
  second.Close();
  EXPECT_EQ(CloseCount(url), 1);
  EXPECT_TRUE(data.IsSessionOn(kPlayerSession, url.c_str()));
}

TEST(Sessions, TheCallersHandleChoosesTheSlot) {
  struct Row {
    const char* why;
    PLUGIN_HANDLE owner0;
    PLUGIN_HANDLE owner1;
    PLUGIN_HANDLE caller;
    int slot;  // -1: a plain stream
  };
  const Row rows[] = {
      {"the player's handle goes through slot 0", Player(), Identifier(), Player(), 0},
      {"the identifier's handle goes through slot 1", Player(), Identifier(), Identifier(), 1},
      {"a handle owning neither slot gets plain streams", Player(), Identifier(), Stranger(), -1},
      {"a handle owning both slots goes through slot 0", Player(), Player(), Player(), 0},
      {"no handle owns the slots nobody owns", nullptr, nullptr, nullptr, -1},
  };
  int number = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const std::string url = teststreams::Counting("route" + std::to_string(number++));
    CDataSystem& data = GetDataSystem();
    data.SetSessionOwner(kPlayerSession, row.owner0);
    data.SetSessionOwner(kIdentifierSession, row.owner1);
    data.SetSessionUrl(kPlayerSession, url.c_str());
    data.SetSessionUrl(kIdentifierSession, url.c_str());
    for (int turn = 0; turn < 2; ++turn) {
      Opened opened(data.OpenStream(url.c_str(), kReadFlags, 0, row.caller));
      EXPECT_EQ(opened.Read(50), Content().substr(0, 50));
      for (DWORD slot = 0; slot < kDataSessionSlotCount; ++slot)
        EXPECT_EQ(data.GetSessionProgress(slot), static_cast<int>(slot) == row.slot ? 50 : kNoSession) << slot;
    }
    EXPECT_EQ(OpenCount(url), row.slot < 0 ? 2 : 1);
  }
}

TEST(Sessions, AnotherUrlOpensPlainlyAndLeavesTheSlotsCounterAlone) {
  const std::string bound = teststreams::Counting("bound");
  const std::string other = teststreams::Counting("other");
  CDataSystem& data = BoundTo(bound);
  Opened session(data.OpenStream(bound.c_str(), kReadFlags, 0, Player()));
  session.Read(1000);
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), 1000u);
  {
    Opened plain(data.OpenStream(other.c_str(), kReadFlags, 0, Player()));
    EXPECT_EQ(plain.Read(777), Content().substr(0, 777));
  }
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), 1000u);
  EXPECT_EQ(OpenCount(other), 1);
  EXPECT_EQ(CloseCount(other), 1);
  session.Close();
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), kNoSession);
}

// The slot hears from every session on its shared stream, not only from
// the first: the counter, and the close that a detach waits for.
TEST(Sessions, EverySessionOnTheSharedStreamCountsAndReportsItsEnd) {
  const std::string url = teststreams::Counting("every");
  CDataSystem& data = BoundTo(url);
  for (DWORD size : {1000u, 300u, 51200u * 3 + 5}) {
    Opened session(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
    session.Read(size);
    session->Skip(20);
    EXPECT_EQ(data.GetSessionProgress(kPlayerSession), size + 20);
    session.Close();
    EXPECT_EQ(data.GetSessionProgress(kPlayerSession), kNoSession);
  }
  Opened detached(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
  data.DetachSession(kPlayerSession);
  EXPECT_TRUE(data.IsSessionOn(kPlayerSession, url.c_str()));
  EXPECT_EQ(detached.Read(10), Content().substr(0, 10));
  detached.Close();
  EXPECT_FALSE(data.IsSessionOn(kPlayerSession, url.c_str()));
  EXPECT_EQ(OpenCount(url), 1);
  EXPECT_EQ(CloseCount(url), 1);
}

TEST(Sessions, DetachWithoutASessionLetsGoOfTheSourceAndKeepsTheUrl) {
  const std::string url = teststreams::Counting("idle-detach");
  CDataSystem& data = BoundTo(url);
  Opened(data.OpenStream(url.c_str(), kReadFlags, 0, Player())).Read(10);
  data.DetachSession(kPlayerSession);
  EXPECT_EQ(CloseCount(url), 1);
  EXPECT_TRUE(data.IsSessionOn(kPlayerSession, url.c_str()));
  Opened(data.OpenStream(url.c_str(), kReadFlags, 0, Player())).Read(10);
  EXPECT_EQ(OpenCount(url), 2);
}

TEST(Sessions, ReleasingTheUrlClosesItsSourceAtOnceAndTheSessionFailsWithShutdown) {
  const std::string url = teststreams::Counting("released");
  CDataSystem& data = BoundTo(url);
  data.SetSessionOwner(kIdentifierSession, Identifier());
  data.SetSessionUrl(kIdentifierSession, url.c_str());
  Opened session(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
  session.Read(10);

  data.ReleaseSessionsOnUrl(url.c_str());
  EXPECT_FALSE(data.IsSessionOn(kPlayerSession, url.c_str()));
  EXPECT_FALSE(data.IsSessionOn(kIdentifierSession, url.c_str()));
  EXPECT_EQ(CloseCount(url), 1);
  EXPECT_EQ(StreamErrorOf([&] { session.Read(10); }), CStreamError::kShutdown);
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), kNoSession);
}

TEST(Sessions, OverTheReadBufferOnlyASessionThatAskedForSeekingMaySeek) {
  const std::string url = teststreams::Unseekable("buffered");
  CDataSystem& data = BoundTo(url);
  {
    Opened reader(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
    EXPECT_FALSE(reader->GetCapabilities() & kStreamSeek);
    EXPECT_EQ(reader.Read(5000), Content().substr(0, 5000));
    EXPECT_EQ(StreamErrorOf([&] { reader->Seek(0, kSeekFromStart, nullptr); }), CStreamError::kNotPermitted);
  }
  {
    Opened seeker(data.OpenStream(url.c_str(), kReadFlags | kStreamSeek, 0, Player()));
    EXPECT_TRUE(seeker->GetCapabilities() & kStreamSeek);
    EXPECT_EQ(seeker.Read(10), Content().substr(0, 10));
    EXPECT_EQ(seeker->Seek(70000, kSeekFromStart, nullptr), 70000);
    EXPECT_EQ(seeker.Read(10), Content().substr(70000, 10));
  }
  // Forbidding the read buffer takes the wish to seek back.
  Opened forbidden(
      data.OpenStream(url.c_str(), kReadFlags | kStreamSeek, CFileSystem::kNoSeekableEmulator, Player()));
  EXPECT_FALSE(forbidden->GetCapabilities() & kStreamSeek);
  EXPECT_EQ(OpenCount(url), 1);
}

// A detached session reads on alone: the read buffer stops keeping data
// for seeks nobody asked for and hands over to the source seamlessly.
TEST(Sessions, ADetachedSessionOverTheReadBufferReadsOnToTheEnd) {
  const std::string url = teststreams::Unseekable("detached");
  CDataSystem& data = BoundTo(url);
  Opened session(data.OpenStream(url.c_str(), kReadFlags, 0, Player()));
  std::string read = session.Read(70000);
  data.DetachSession(kPlayerSession);
  for (std::string chunk; !(chunk = session.Read(30000)).empty();) read += chunk;
  EXPECT_EQ(read, Content());
  session.Close();
  EXPECT_FALSE(data.IsSessionOn(kPlayerSession, url.c_str()));
  EXPECT_EQ(CloseCount(url), 1);
}

TEST(Sessions, AClosedSlotOpensItsOldUrlPlainly) {
  const std::string url = teststreams::Counting("closed");
  CDataSystem& data = BoundTo(url);
  Opened(data.OpenStream(url.c_str(), kReadFlags, 0, Player())).Read(10);
  data.CloseSession(kPlayerSession, false);
  EXPECT_EQ(CloseCount(url), 1);
  EXPECT_FALSE(data.IsSessionOn(kPlayerSession, url.c_str()));
  Opened(data.OpenStream(url.c_str(), kReadFlags, 0, Player())).Read(10);
  Opened(data.OpenStream(url.c_str(), kReadFlags, 0, Player())).Read(10);
  EXPECT_EQ(OpenCount(url), 3);
}

TEST(Sessions, BindingAnotherUrlLetsGoOfTheOldSource) {
  const std::string first = teststreams::Counting("first");
  const std::string second = teststreams::Counting("second");
  CDataSystem& data = BoundTo(first);
  Opened(data.OpenStream(first.c_str(), kReadFlags, 0, Player())).Read(10);
  data.SetSessionUrl(kPlayerSession, first.c_str());
  EXPECT_EQ(CloseCount(first), 0);
  data.SetSessionUrl(kPlayerSession, second.c_str());
  EXPECT_EQ(CloseCount(first), 1);
  EXPECT_FALSE(data.IsSessionOn(kPlayerSession, first.c_str()));
  EXPECT_TRUE(data.IsSessionOn(kPlayerSession, second.c_str()));
}

}  // namespace
