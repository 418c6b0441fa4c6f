#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "Command.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/DiskFileStreamProvider.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"

namespace {

// As large as the system's cat reads: fewer calls per byte.
constexpr DWORD kChunk = 128 * 1024;

// Opens the URL with the providers at hand: local files only for now.
CStream* OpenForReading(const char* url) {
  CDiskFileStreamProvider provider;
  CStream* stream = provider.Open(url, kStreamRead | kStreamShareRead);
  if (!stream) ThrowError<CStreamError>(CStreamError::kUnsupportedProtocol, url);
  return stream;
}

// Straight to the descriptor: stdio would split every chunk in two writes.
bool WriteAll(const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
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
    if (!WriteAll(buffer.get(), got)) return false;
    if (got < kChunk) return true;
  }
}

}  // namespace

FNDTOOL_COMMAND(RunCat, "cat", "URL  write the bytes of the stream at URL (a path or a file:// URL) to stdout") {
  if (args.size() != 1) return fndtool::Fail("cat takes one URL");
  CStream* stream = nullptr;
  try {
    stream = OpenForReading(args[0].c_str());
    const bool written = CopyToStdout(*stream);
    std::exchange(stream, nullptr)->Close();
    if (!written) return fndtool::Fail("cannot write to stdout");
    return 0;
  } catch (CError* error) {
    if (stream) stream->CloseNoThrow();
    const int code = fndtool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
}
