#include <cinttypes>
#include <cstdio>
#include <memory>

#include "HostCalls.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "driver/StdIo.h"

using twltool::Host;
using twltool::HostErrorText;

namespace {

struct Options {
  DWORD flags = HOST_STREAM_READ;
  DWORD chunk = 64 * 1024;
  bool seek = false;
  int64_t offset = 0;
  uint64_t count = UINT64_MAX;
  std::string url;
};

// False with the message for a bad command line.
bool ParseOptions(const tool::Args& args, Options& options, std::string& message) {
  uint64_t number = 0;
  size_t i = 0;
  for (; i + 1 < args.size() && args[i].starts_with("--"); i += 2) {
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    if (name == "--flags" && tool::ParseUnsigned(value, number, 0xFFFFFFFF)) {
      options.flags = static_cast<DWORD>(number);
    } else if (name == "--chunk" && tool::ParseUnsigned(value, number, 0x7FFFFFFF) && number > 0) {
      options.chunk = static_cast<DWORD>(number);
    } else if (name == "--seek" && tool::ParseSigned(value, options.offset)) {
      options.seek = true;
    } else if (name == "--count" && tool::ParseUnsigned(value, number)) {
      options.count = number;
    } else {
      message = "bad option " + name + " " + value;
      return false;
    }
  }
  if (i + 1 != args.size()) {
    message = "hostcat takes options and one URL";
    return false;
  }
  options.url = args[i];
  return true;
}

int64_t Join(const DWORD* words) { return static_cast<int64_t>((static_cast<uint64_t>(words[1]) << 32) | words[0]); }

// Reads to stdout from the stream's position on; false with the reason in
// the thread error (or a message when stdout fails).
bool CopyToStdout(HOST_STREAM stream, const Options& options, std::string& message) {
  std::unique_ptr<char[]> buffer(new char[options.chunk]);
  for (uint64_t left = options.count; left > 0;) {
    const DWORD size = static_cast<DWORD>(std::min<uint64_t>(left, options.chunk));
    DWORD got = 0;
    if (!Host().HOST_StreamRead(stream, buffer.get(), size, &got)) {
      message = HostErrorText();
      return false;
    }
    if (!tool::WriteStdout(buffer.get(), got)) {
      message = "cannot write to stdout";
      return false;
    }
    left -= got;
    if (got < size) break;
  }
  return true;
}

}  // namespace

TOOL_COMMAND(RunHostCat, "hostcat",
             "[--flags HEX] [--chunk N] [--seek OFFSET --count N] URL  read URL as a plug-in does, through the "
             "host API (open, flags, length, seek, read in chunks of N bytes, default 65536, close): the bytes "
             "to stdout, \"flags 0x%08X length N\" (flags in plug-in form, length -1 when unknown) to stderr; "
             "--flags are plug-in open flags (default 0x1)") {
  Options options;
  std::string message;
  if (!ParseOptions(args, options, message)) return tool::Fail(message);

  HOST_STREAM stream = nullptr;
  if (!Host().HOST_OpenStream(options.url.c_str(), options.flags, 0, nullptr, &stream)) {
    return tool::Fail(HostErrorText());
  }
  DWORD flags = 0;
  DWORD length[2] = {0, 0};
  bool ok = Host().HOST_StreamGetFlags(stream, &flags) && Host().HOST_StreamGetLength(stream, FALSE, length, 0);
  if (ok) std::fprintf(stderr, "flags 0x%08X length %" PRId64 "\n", flags, Join(length));
  if (ok && options.seek) {
    const auto words = static_cast<uint64_t>(options.offset);
    DWORD reached[2];
    ok =
        Host().HOST_StreamSeek(stream, static_cast<DWORD>(words), static_cast<DWORD>(words >> 32), 0, reached, nullptr);
  }
  if (!ok) message = HostErrorText();
  if (ok) ok = CopyToStdout(stream, options, message);
  if (ok && !Host().HOST_StreamClose(stream)) return tool::Fail(HostErrorText());
  if (!ok) {
    Host().HOST_StreamRelease(stream);
    return tool::Fail(message);
  }
  return 0;
}
