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

enum class Kind { Counting, Unseekable, Blocking, Slow };

const std::map<std::string, Kind>& Schemes() {
  static const std::map<std::string, Kind> schemes = {{"counting://", Kind::Counting},
                                                      {"unseekable://", Kind::Unseekable},
                                                      {"blocking://", Kind::Blocking},
                                                      {"slow://", Kind::Slow}};
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

struct Book {
  std::mutex lock;
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
  TestStream(std::string url, Kind kind) : m_Url(std::move(url)), m_Kind(kind) {}

  CStr& GetURL(CStr& url) override { return url = m_Url.c_str(); }
  DWORD GetCapabilities() override {
    return m_Kind == Kind::Unseekable ? kStreamRead : kStreamRead | kStreamSeek | kStreamLengthKnown;
  }
  DWORD Read(void* buffer, DWORD size) override {
    ThrowIfShutDown();
    if (m_Kind == Kind::Blocking) BlockUntilShutDown();
    const DWORD count = static_cast<DWORD>(std::min<size_t>(size, Content().size() - m_Position));
    std::memcpy(buffer, Content().data() + m_Position, count);
    m_Position += count;
    return count;
  }
  DWORD ReadSome(void* buffer, DWORD size) override { return Read(buffer, size); }
  DWORD Skip(DWORD count) override {
    ThrowIfShutDown();
    const DWORD skipped = static_cast<DWORD>(std::min<size_t>(count, Content().size() - m_Position));
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
                          : origin == kSeekFromEnd   ? static_cast<LONGLONG>(Content().size())
                                                     : 0;
    const LONGLONG target = base + offset;
    if (target < 0 || target > static_cast<LONGLONG>(Content().size()))
      ThrowError<CStreamError>(CStreamError::kInvalidParam);
    m_Position = static_cast<size_t>(target);
    return target;
  }
  bool SeekWouldWait(LONGLONG, DWORD) override { return false; }
  LONGLONG GetPosition() override { return static_cast<LONGLONG>(m_Position); }
  LONGLONG GetLength(bool, HANDLE) override {
    return m_Kind == Kind::Unseekable ? -1 : static_cast<LONGLONG>(Content().size());
  }
  DWORD GetTransferRate() override { return 1000; }
  bool IsAtEnd() override { return m_Position == Content().size(); }
  void Shutdown() override {
    Book& book = TheBook();
    std::lock_guard guard(book.lock);
    m_ShutDown = true;
    book.changed.notify_all();
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
    Book& book = TheBook();
    std::lock_guard guard(book.lock);
    ++book.opens[url];
    return new TestStream(url, kind);
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

std::string Counting(const std::string& name) { return Install("counting://" + name); }
std::string Unseekable(const std::string& name) { return Install("unseekable://" + name); }
std::string Blocking(const std::string& name) { return Install("blocking://" + name); }
std::string Slow(const std::string& name) { return Install("slow://" + name); }

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

void ReleaseOpen(const std::string& url) {
  Book& book = TheBook();
  std::lock_guard guard(book.lock);
  book.released.insert(url);
  book.changed.notify_all();
}

}  // namespace teststreams
