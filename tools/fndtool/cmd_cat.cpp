#include <cstdio>
#include <memory>
#include <utility>

#include "Command.h"
#include "foundation/streams/DiskFileStreamProvider.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"

namespace {

constexpr DWORD kChunk = 64 * 1024;

// Opens the URL with the providers at hand: local files only for now.
CStream* OpenForReading(const char* url) {
  CDiskFileStreamProvider provider;
  CStream* stream = provider.Open(url, kStreamRead | kStreamShareRead);
  if (!stream) ThrowError<CStreamError>(CStreamError::kUnsupportedProtocol, url);
  return stream;
}

// Copies the stream to stdout; false when stdout fails.
bool CopyToStdout(CStream& stream) {
  auto buffer = std::make_unique<char[]>(kChunk);
  for (;;) {
    const DWORD got = stream.Read(buffer.get(), kChunk);
    if (got && std::fwrite(buffer.get(), 1, got, stdout) != got) return false;
    if (got < kChunk) return std::fflush(stdout) == 0;
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
