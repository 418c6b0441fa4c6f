#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "driver/Command.h"
#include "driver/StdIo.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"

namespace {

// As large as the system's cat reads: fewer calls per byte.
constexpr DWORD kChunk = 128 * 1024;

// Plain reading, others may read the file meanwhile.
constexpr DWORD kDefaultFlags = kStreamRead | kStreamShareRead;

// "0x" and one to eight hex digits, nothing else.
bool ParseHexFlags(const std::string& text, DWORD& flags) {
  if (text.size() < 3 || text.size() > 10 || (text.compare(0, 2, "0x") != 0 && text.compare(0, 2, "0X") != 0))
    return false;
  const char* last = text.data() + text.size();
  DWORD value = 0;
  const auto [end, error] = std::from_chars(text.data() + 2, last, value, 16);
  if (error != std::errc() || end != last) return false;
  flags = value;
  return true;
}

// Copies the stream to stdout; false when stdout fails.
// The buffer is page-aligned: the kernel copies into it fastest.
bool CopyToStdout(CStream& stream) {
  constexpr size_t kPage = 4096;
  std::unique_ptr<char, decltype(&std::free)> buffer(static_cast<char*>(std::aligned_alloc(kPage, kChunk)), &std::free);
  if (!buffer) ThrowMemoryError();
  for (;;) {
    const DWORD got = stream.Read(buffer.get(), kChunk);
    // Straight to the descriptor: stdio would split every chunk in two writes.
    if (!tool::WriteStdout(buffer.get(), got)) return false;
    if (got < kChunk) return true;
  }
}

}  // namespace

TOOL_COMMAND(RunCat, "cat",
                "[--flags 0xHEX] URL  write the bytes of the stream at URL to stdout, opened through the file "
                "system with the given open flags (default 0x100001), so that emulators stack as they ask") {
  DWORD flags = kDefaultFlags;
  tool::Args rest = args;
  if (!rest.empty() && rest[0] == "--flags") {
    if (rest.size() < 2 || !ParseHexFlags(rest[1], flags)) return tool::Fail("--flags takes a hex number (0x...)");
    rest.erase(rest.begin(), rest.begin() + 2);
  }
  if (rest.size() != 1) return tool::Fail("cat takes one URL");
  CStream* stream = nullptr;
  try {
    stream = GetFileSystem().Open(rest[0].c_str(), flags, 0);
    const bool written = CopyToStdout(*stream);
    std::exchange(stream, nullptr)->Close();
    if (!written) return tool::Fail("cannot write to stdout");
    return 0;
  } catch (CError* error) {
    if (stream) stream->CloseNoThrow();
    const int code = tool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
}
