#include "TestStreams.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamProvider.h"

namespace teststreams {
namespace {

constexpr auto kPatience = std::chrono::seconds(10);

enum class Kind { Counting, Unseekable, Blocking, Slow, Stalling };

constexpr size_t kStallingLength = 44 + 176400;  // what the header announces

const std::map<std::string, Kind>& Schemes() {
  static const std::map<std::string, Kind> schemes = {{"counting://", Kind::Counting},
                                                      {"unseekable://", Kind::Unseekable},
                                                      {"blocking://", Kind::Blocking},
                                                      {"slow://", Kind::Slow},
                                                      {"stalling://", Kind::Stalling}};
  return schemes;
}

bool KindOf(const char* url, Kind& kind) {
  for (const auto& [scheme, schemeKind] : Schemes()) {
    if (std::strncmp(url, scheme.c_str(), scheme.size()) != 0) continue;
    kind = schemeKind;
    return true;
  }
  return false;
}

class TestStream;

struct Book {
  std::mutex lock;
  std::set<TestStream*> live;
  std::condition_variable changed;
  std::map<std::string, int> opens;
  std::map<std::string, int> closes;
  std::multiset<std::string> blockedReads;
  std::multiset<std::string> waitingOpens;
  std::set<std::string> released;
};

// Never destroyed: the data system closes what its slots hold at exit,
// after the statics of this file.
Book& TheBook() {
  static Book& book = *new Book;
  return book;
}

class TestStream : public CStream {
 public:
  TestStream(std::string url, Kind kind) : m_Url(std::move(url)), m_Kind(kind) {
    std::lock_guard guard(TheBook().lock);
    TheBook().live.insert(this);
  }
  ~TestStream() override {
    std::lock_guard guard(TheBook().lock);
    TheBook().live.erase(this);
  }

  CStr& GetURL(CStr& url) override { return url = m_Url.c_str(); }
  DWORD GetCapabilities() override {
    return m_Kind == Kind::Unseekable ? kStreamRead : kStreamRead | kStreamSeek | kStreamLengthKnown;
  }
  DWORD Read(void* buffer, DWORD size) override {
    ThrowIfShutDown();
    const std::string& content = m_Kind == Kind::Stalling ? StallingContent() : Content();
    if (m_Kind == Kind::Blocking || (m_Kind == Kind::Stalling && m_Position >= content.size())) BlockUntilShutDown();
    const DWORD count = static_cast<DWORD>(std::min<size_t>(size, content.size() - m_Position));
    std::memcpy(buffer, content.data() + m_Position, count);
    m_Position += count;
    return count;
  }
  DWORD ReadSome(void* buffer, DWORD size) override { return Read(buffer, size); }
  DWORD Skip(DWORD count) override {
    ThrowIfShutDown();
    const DWORD skipped = static_cast<DWORD>(std::min<size_t>(count, Length() - m_Position));
    m_Position += skipped;
    return skipped;
  }
  DWORD SkipSome(DWORD count) override { return Skip(count); }
  void Write(const void*, DWORD) override { ThrowError<CStreamError>(CStreamError::kNotPermitted); }
  void Flush() override {}
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE) override {
    ThrowIfShutDown();
    if (m_Kind == Kind::Unseekable) ThrowError<CStreamError>(CStreamError::kNotPermitted);
    const LONGLONG base = origin == kSeekFromCurrent ? static_cast<LONGLONG>(m_Position)
                          : origin == kSeekFromEnd   ? static_cast<LONGLONG>(Length())
                                                     : 0;
    const LONGLONG target = base + offset;
    if (target < 0 || target > static_cast<LONGLONG>(Length()))
      ThrowError<CStreamError>(CStreamError::kInvalidParam);
    m_Position = static_cast<size_t>(target);
    return target;
  }
  bool SeekWouldWait(LONGLONG, DWORD) override { return false; }
  LONGLONG GetPosition() override { return static_cast<LONGLONG>(m_Position); }
  LONGLONG GetLength(bool, HANDLE) override {
    return m_Kind == Kind::Unseekable ? -1 : static_cast<LONGLONG>(Length());
  }
  DWORD GetTransferRate() override { return 1000; }
  bool IsAtEnd() override { return m_Position == Length(); }
  void Shutdown() override {
    Book& book = TheBook();
    std::lock_guard guard(book.lock);
    ShutDownLocked();
  }
  // Under the book's lock.
  void ShutDownLocked() {
    m_ShutDown = true;
    TheBook().changed.notify_all();
  }
  void Close() override { CloseNoThrow(); }
  void CloseNoThrow() override {
    {
      Book& book = TheBook();
      std::lock_guard guard(book.lock);
      ++book.closes[m_Url];
    }
    delete this;
  }

 private:
  size_t Length() const { return m_Kind == Kind::Stalling ? kStallingLength : Content().size(); }
  void ThrowIfShutDown() {
    std::lock_guard guard(TheBook().lock);
    if (m_ShutDown) ThrowError<CStreamError>(CStreamError::kShutdown, m_Url.c_str());
  }
  void BlockUntilShutDown() {
    Book& book = TheBook();
    std::unique_lock guard(book.lock);
    const auto entry = book.blockedReads.insert(m_Url);
    book.changed.notify_all();
    book.changed.wait(guard, [&] { return m_ShutDown; });
    book.blockedReads.erase(entry);
    guard.unlock();
    ThrowError<CStreamError>(CStreamError::kShutdown, m_Url.c_str());
  }

  std::string m_Url;
  Kind m_Kind;
  size_t m_Position = 0;
  bool m_ShutDown = false;  // guarded by the book's lock
};

class TestProvider : public CStreamProvider {
 public:
  bool CanOpen(const char* url, DWORD, StreamOpenAnswer& answer) override {
    Kind kind;
    if (!KindOf(url, kind)) return false;
    answer = {kind == Kind::Unseekable ? kStreamRead : kStreamRead | kStreamSeek | kStreamLengthKnown, 1000, 10};
    return true;
  }
  CStream* Open(const char* url, DWORD) override {
    Kind kind;
    if (!KindOf(url, kind)) return nullptr;
    if (kind == Kind::Slow) WaitForRelease(url);
    auto* stream = new TestStream(url, kind);  // takes the book's lock itself
    Book& book = TheBook();
    std::lock_guard guard(book.lock);
    ++book.opens[url];
    return stream;
  }

 private:
  static void WaitForRelease(const std::string& url) {
    Book& book = TheBook();
    std::unique_lock guard(book.lock);
    const auto entry = book.waitingOpens.insert(url);
    book.changed.notify_all();
    book.changed.wait_for(guard, kPatience, [&] { return book.released.count(url) > 0; });
    book.waitingOpens.erase(entry);
  }
};

std::string Install(const std::string& url) {
  static const bool installed = [] {
    GetFileSystem().AddProvider(new TestProvider);
    return true;
  }();
  (void)installed;
  return url;
}

bool WaitFor(const std::string& url, std::multiset<std::string> Book::*waiting) {
  Book& book = TheBook();
  std::unique_lock guard(book.lock);
  return book.changed.wait_for(guard, kPatience, [&] { return (book.*waiting).count(url) > 0; });
}

}  // namespace

const std::string& Content() {
  static const std::string content = [] {
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + i / 253);
    return bytes;
  }();
  return content;
}

const std::string& StallingContent() {
  static const std::string header = [] {
    auto word32 = [](uint32_t value) {
      return std::string{static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 24)};
    };
    auto word16 = [](uint16_t value) { return std::string{static_cast<char>(value), static_cast<char>(value >> 8)}; };
    const uint32_t dataBytes = kStallingLength - 44;
    return "RIFF" + word32(36 + dataBytes) + "WAVE" + "fmt " + word32(16) + word16(1) + word16(2) + word32(44100) +
           word32(44100 * 4) + word16(4) + word16(16) + "data" + word32(dataBytes);
  }();
  return header;
}

std::string Counting(const std::string& name) { return Install("counting://" + name); }
std::string Unseekable(const std::string& name) { return Install("unseekable://" + name); }
std::string Blocking(const std::string& name) { return Install("blocking://" + name); }
std::string Slow(const std::string& name) { return Install("slow://" + name); }
std::string Stalling(const std::string& name) { return Install("stalling://" + name); }

int OpenCount(const std::string& url) {
  Book& book = TheBook();
  std::lock_guard guard(book.lock);
  return book.opens[url];
}

int CloseCount(const std::string& url) {
  Book& book = TheBook();
  std::lock_guard guard(book.lock);
  return book.closes[url];
}

bool WaitUntilReadBlocks(const std::string& url) { return WaitFor(url, &Book::blockedReads); }

bool WaitUntilOpenWaits(const std::string& url) { return WaitFor(url, &Book::waitingOpens); }

void ShutDownAll() {
  Book& book = TheBook();
  std::lock_guard guard(book.lock);
  for (TestStream* stream : book.live) stream->ShutDownLocked();
}

void ReleaseOpen(const std::string& url) {
  Book& book = TheBook();
  std::lock_guard guard(book.lock);
  book.released.insert(url);
  book.changed.notify_all();
}

}  // namespace teststreams
