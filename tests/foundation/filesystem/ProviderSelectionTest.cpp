// Which provider opens a URL, and which emulators are stacked around its
// stream for the capabilities it lacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipeStream.h"
#include "StreamChain.h"
#include "StreamTestHelpers.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "support/TestPaths.h"
#include <twlwin/testing.h>

using streamtest::CatchStreamError;
using streamtest::ChainOf;

namespace {

constexpr DWORD R = kStreamRead, W = kStreamWrite, S = kStreamSeek, L = kStreamLengthKnown, B = kStreamBuffered,
                F = kStreamFlowing;

// A readable stream that reports the capabilities it is told to.
class CCapabilityStream : public CMemoryStream {
 public:
  CCapabilityStream(DWORD capabilities, std::string url) : m_Capabilities(capabilities), m_URL(std::move(url)) {
    auto* block = new BYTE[10];
    for (int i = 0; i < 10; ++i) block[i] = static_cast<BYTE>('0' + i);
    Open(block, 10, R | W | S, 0, true);
  }
  DWORD GetCapabilities() override { return m_Capabilities; }
  CStr& GetURL(CStr& url) override { return url = m_URL.c_str(); }

 private:
  DWORD m_Capabilities;
  std::string m_URL;
};

struct ProviderScript {
  bool canOpen;        // what CanOpen says
  DWORD answer;        // the capabilities it promises
  DWORD streamCaps;    // what the opened stream has; 0: Open returns null
};

// Answers and opens as scripted and writes down every call.
class CScriptedProvider : public CStreamProvider {
 public:
  CScriptedProvider(int index, ProviderScript script, std::vector<std::string>* calls)
      : m_Index(index), m_Script(script), m_Calls(calls) {}

  bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) override {
    m_Calls->push_back("CanOpen " + std::to_string(m_Index) + " " + Hex(flags));
    if (!m_Script.canOpen) return false;
    answer = {m_Script.answer, 1000u + m_Index, 7};
    return true;
  }
  CStream* Open(const char* url, DWORD flags) override {
    m_Calls->push_back("Open " + std::to_string(m_Index) + " " + Hex(flags));
    if (!m_Script.streamCaps) return nullptr;
    return new CCapabilityStream(m_Script.streamCaps, url);
  }

  static std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
  }

 private:
  int m_Index;
  ProviderScript m_Script;
  std::vector<std::string>* m_Calls;
};

struct Scripted {
  CFileSystem fileSystem{false};
  std::vector<std::string> calls;
  std::vector<CStreamProvider*> providers;

  explicit Scripted(const std::vector<ProviderScript>& scripts) {
    for (const ProviderScript& script : scripts) {
      providers.push_back(new CScriptedProvider(static_cast<int>(providers.size()), script, &calls));
      fileSystem.AddProvider(providers.back());
    }
  }
  int IndexOf(CStreamProvider* provider) const {
    for (size_t i = 0; i < providers.size(); ++i)
      if (providers[i] == provider) return static_cast<int>(i);
    return -1;
  }
};

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : " > ") + name;
  return text;
}

}  // namespace

// One row per rule: the best answer wins (seek, then length, then flowing
// decide; buffered comes last), ties go to the earlier provider, a full
// match ends the search, and the emulators stacked for what the stream
// lacks respect the forbidden bits and the read/write limits.
TEST(FileSystemOpen, ChoosesTheProviderAndStacksEmulators) {
  struct Row {
    const char* name;
    std::vector<ProviderScript> providers;
    DWORD flags;
    DWORD forbidden;
    int opener;            // provider whose stream comes back
    const char* chain;     // class names, outermost first
  };
  const DWORD share = kStreamShareRead;
  const Row rows[] = {
      // Selection.
      {"seek decides first", {{true, R | L, R | L | S}, {true, R | S, R | S | L}}, R | S | L, 0, 1, "CMemoryStream"},
      {"seek kept over a later length", {{true, R | S, R | S | L}, {true, R | L, R | S | L}}, R | S | L, 0, 0,
       "CMemoryStream"},
      {"length decides when seek agrees", {{true, R, R | S | L}, {true, R | L, R | S | L}}, R | S | L, 0, 1,
       "CMemoryStream"},
      {"flowing decides after length", {{true, R | L, R | S | L | F}, {true, R | L | F, R | S | L | F}},
       R | S | L | F, 0, 1, "CMemoryStream"},
      {"buffered decides last", {{true, R, R | S | L | B}, {true, R | B, R | S | L | B}}, R | S | B, 0, 1,
       "CMemoryStream"},
      {"buffered never displaces a candidate that has it",
       {{true, R | B, R | S | L | B}, {true, R | B | L, R | S | L | B}}, R | S | B, 0, 0, "CMemoryStream"},
      {"unwanted capabilities count for nothing", {{true, R, R | S | L | B}, {true, R | S | L | F, R | S | L | B}},
       R | B, 0, 0, "CMemoryStream"},
      {"identical answers: the earlier provider", {{true, R, R | S | L}, {true, R, R | S | L}}, R | S, 0, 0,
       "CMemoryStream"},
      {"a refusal is passed over", {{false, 0, R | S | L}, {true, R, R | S | L}}, R | S, 0, 1, "CMemoryStream"},
      {"a later full match beats the candidate", {{true, R, R | S | L}, {true, R | S, R | S | L}}, R | S, 0, 1,
       "CMemoryStream"},
      {"a chosen provider that opens nothing: the first that opens",
       {{true, R | S, 0}, {false, 0, R | S | L}, {true, R, R | S | L}}, R | S, 0, 1, "CMemoryStream"},
      {"no provider says yes: the first that opens", {{false, 0, 0}, {false, 0, R | S | L}}, R, 0, 1,
       "CMemoryStream"},
      // Emulators.
      {"nothing missing: the stream itself", {{true, R | S | L, R | S | L}}, R | share, 0, 0, "CMemoryStream"},
      {"buffering asked for", {{true, R | S | L, R | S | L}}, R | B | share, 0, 0,
       "CBufferedStreamEmulator > CMemoryStream"},
      {"length and buffering on a plain reader", {{true, R, R}}, R | L | B, 0, 0,
       "CBufferedStreamEmulator > CGetLengthStreamEmulator > CMemoryStream"},
      {"length emulator forbidden", {{true, R, R}}, R | L | B, CFileSystem::kNoLengthEmulator, 0,
       "CBufferedStreamEmulator > CMemoryStream"},
      {"buffered emulator forbidden", {{true, R, R}}, R | L | B, CFileSystem::kNoBufferedEmulator, 0,
       "CGetLengthStreamEmulator > CMemoryStream"},
      {"both directions: no length emulator", {{true, R | W | S, R | W | S}}, R | W | L, 0, 0, "CMemoryStream"},
      {"writing: no seekable emulator", {{true, W, W}}, W | S, 0, 0, "CMemoryStream"},
      {"both directions on a seekable stream: buffered", {{true, R | W | S, R | W | S}}, R | W | B, 0, 0,
       "CBufferedStreamEmulator > CMemoryStream"},
      {"both directions on an unseekable stream: nothing", {{true, R | W, R | W}}, R | W | L | B | S | F, 0, 0,
       "CMemoryStream"},
      {"seeking on a plain reader", {{true, R, R}}, R | S, 0, 0, "CSeekableReadStreamEmulator > CMemoryStream"},
      {"seekable emulator forbidden", {{true, R, R}}, R | S, CFileSystem::kNoSeekableEmulator, 0, "CMemoryStream"},
      {"forbidden 14: only the seekable emulator", {{true, R, R}}, R | S | L | F | B, 14, 0,
       "CSeekableReadStreamEmulator > CMemoryStream"},
      {"everything on a plain reader", {{true, R, R}}, R | S | L | F | B, 0, 0,
       "CFlowingStreamEmulator > CGetLengthStreamEmulator > CSeekableReadStreamEmulator > CMemoryStream"},
      {"flowing for a writer that can seek", {{true, R | W | S | L, R | W | S | L}}, R | W | F, 0, 0,
       "CFlowingStreamEmulator > CMemoryStream"},
      {"flowing for a writer that cannot seek: nothing", {{true, W, W}}, W | F, 0, 0, "CMemoryStream"},
      {"flowing emulator forbidden", {{true, R | S | L, R | S | L}}, R | F | B, CFileSystem::kNoFlowingEmulator, 0,
       "CBufferedStreamEmulator > CMemoryStream"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Scripted scripted(row.providers);
    CStreamProvider* opener = nullptr;
    CStream* stream = scripted.fileSystem.Open("x://a", row.flags, row.forbidden, false, &opener);
    EXPECT_EQ(scripted.IndexOf(opener), row.opener);
    EXPECT_EQ(Joined(ChainOf(stream)), row.chain);
    stream->Close();
  }
}

TEST(FileSystemOpen, AsksWithCapabilitiesAndOpensWithTheModeAdded) {
  Scripted scripted({{true, R, R | S | L}, {true, R | S, R | S | L}, {true, R | S, R | S | L}});
  CStream* stream = scripted.fileSystem.Open("x://a", R | S | kStreamShareRead | kStreamCreateAlways, 0);
  stream->Close();
  // A full match ends the questions: the third provider is never asked.
  const std::vector<std::string> expected = {"CanOpen 0 5", "CanOpen 1 5", "Open 1 120005"};
  EXPECT_EQ(scripted.calls, expected);
}

TEST(FileSystemOpen, DirectModeTakesTheFirstStreamInListOrder) {
  Scripted scripted({{true, R | S | L, 0}, {false, 0, R}, {true, R | S | L, R | S | L}});
  CStreamProvider* opener = nullptr;
  CStream* stream = scripted.fileSystem.Open("x://a", R | kStreamShareRead, 0, true, &opener);
  EXPECT_EQ(scripted.IndexOf(opener), 1);
  stream->Close();
  const std::vector<std::string> expected = {"Open 0 1", "Open 1 1"};
  EXPECT_EQ(scripted.calls, expected);
}

TEST(FileSystemOpen, NoProviderOpensTheURL) {
  Scripted scripted({{false, 0, 0}, {true, R, 0}});
  const auto caught = CatchStreamError([&] { scripted.fileSystem.Open("gopher://host/a", R, 0); });
  EXPECT_EQ(caught.code, CStreamError::kUnsupportedProtocol);
  EXPECT_EQ(caught.path, "gopher://host/a");
  EXPECT_EQ(caught.text, "The protocol is not supported. (file path: 'gopher://host/a')");

  // The global file system knows local files only, until providers come.
  const auto global = CatchStreamError([] { GetFileSystem().Open("http://example.org/a.mp3", R, 0); });
  EXPECT_EQ(global.code, CStreamError::kUnsupportedProtocol);
  EXPECT_EQ(global.path, "http://example.org/a.mp3");
}

TEST(FileSystemOpen, DiskFilesThroughTheGlobalFileSystem) {
  const std::string path = twltest::MakeTempDir("disk") + "/a.txt";
  twltest::WriteFile(path, "hello world");
  CStream* plain = GetFileSystem().Open(path.c_str(), 0x100001, 0);
  EXPECT_EQ(Joined(ChainOf(plain)), "CDiskFileStream");
  plain->Close();

  CStream* buffered = GetFileSystem().Open(("file://" + path).c_str(), 0x100101, 0);
  EXPECT_EQ(Joined(ChainOf(buffered)), "CBufferedStreamEmulator > CDiskFileStream");
  EXPECT_EQ(buffered->GetCapabilities() & (R | W | B), R | B);
  char text[16] = {};
  EXPECT_EQ(buffered->Read(text, sizeof text), 11u);
  EXPECT_STREQ(text, "hello world");
  buffered->Close();

  const auto missing = CatchStreamError([&] { GetFileSystem().Open((path + ".no").c_str(), 0x100001, 0); });
  EXPECT_EQ(missing.code, CStreamError::kFileNotFound);
}

TEST(FileSystemFindProvider, ChoosesAsOpenDoesWithoutOpening) {
  Scripted scripted({{false, 0, R}, {true, R, R}, {true, R | S, R}});
  StreamOpenAnswer answer{};
  CStreamProvider* provider = nullptr;
  ASSERT_TRUE(scripted.fileSystem.FindProvider("x://a", R | S, answer, false, &provider));
  EXPECT_EQ(scripted.IndexOf(provider), 2);
  EXPECT_EQ(answer.capabilities, R | S);
  EXPECT_EQ(answer.transferRate, 1002u);

  ASSERT_TRUE(scripted.fileSystem.FindProvider("x://a", R | S, answer, true, &provider));
  EXPECT_EQ(scripted.IndexOf(provider), 1);
  EXPECT_EQ(answer.transferRate, 1001u);

  // Flags are compared unchanged: a sharing bit nobody promises keeps the
  // search going, and the best answer so far is the one returned.
  ASSERT_TRUE(scripted.fileSystem.FindProvider("x://a", R | kStreamShareRead, answer, false, nullptr));
  EXPECT_EQ(answer.transferRate, 1001u);
  for (const std::string& call : scripted.calls) EXPECT_EQ(call.rfind("Open", 0), std::string::npos) << call;

  Scripted none({{false, 0, R}});
  answer = {0xAA, 0xBB, 0xCC};
  EXPECT_FALSE(none.fileSystem.FindProvider("x://a", R, answer, false, &provider));
  EXPECT_EQ(answer.capabilities, 0xAAu);
}

// An emulator that cannot be attached: those made before it are closed,
// their temporary file too, and the provider's stream is left to Open,
// which closes it.
TEST(FileSystemAddEmulators, AFailedAttachUndoesTheChain) {
  int closed = 0;
  class CCountedStream : public CCapabilityStream {
   public:
    CCountedStream(int* closed) : CCapabilityStream(R | S, "x://counted"), m_Closed(closed) {}
    void Close() override {
      ++*m_Closed;
      CCapabilityStream::Close();
    }
    void CloseNoThrow() override {
      ++*m_Closed;
      CCapabilityStream::CloseNoThrow();
    }

   private:
    int* m_Closed;
  };
  auto* stream = new CCountedStream(&closed);
  TwlTestFailThreadStarts(1);  // the flowing emulator's reader
  const auto caught = CatchStreamError([&] { GetFileSystem().AddEmulators(stream, R | L | F, 0); });
  EXPECT_EQ(caught.code, -2);
  EXPECT_EQ(caught.text, "Unable to create new thread.");
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(streamtest::TempFilesLeft().empty());  // the length emulator's cache went
  char bytes[4] = {};
  EXPECT_EQ(stream->Read(bytes, 3), 3u);
  EXPECT_STREQ(bytes, "012");
  stream->Close();
}
