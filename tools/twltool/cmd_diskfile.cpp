#include <strings.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "HostCalls.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "driver/StdIo.h"
#include "pluginhost/hostapi/HostApiModule.h"

using twltool::Host;
using twltool::HostErrorText;

namespace {

struct Options {
  bool thread = false;
  DWORD flags = 0;
  std::string prefix;
  std::string suffix;
  bool hasPrefix = false;
  bool hasSuffix = false;
  std::string url;
};

bool ParseOptions(const tool::Args& args, Options& options, std::string& message) {
  size_t i = 0;
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    const std::string& name = args[i];
    if (name == "--thread") {
      options.thread = true;
      continue;
    }
    uint64_t number = 0;
    const bool hasValue = i + 1 < args.size();
    if (name == "--flags" && hasValue && tool::ParseUnsigned(args[i + 1], number, 0xFFFFFFFF)) {
      options.flags = static_cast<DWORD>(number);
    } else if (name == "--prefix" && hasValue) {
      options.prefix = args[i + 1];
      options.hasPrefix = true;
    } else if (name == "--suffix" && hasValue) {
      options.suffix = args[i + 1];
      options.hasSuffix = true;
    } else {
      message = "bad option " + name;
      return false;
    }
    ++i;
  }
  if (i + 1 != args.size()) {
    message = "diskfile takes options and one URL";
    return false;
  }
  options.url = args[i];
  return true;
}

// What the thread creator's callback reported.
struct Report {
  bool done = false;
  bool success = false;
  std::string error;
};

void OnFileMade(uintptr_t userValue, HOST_FILECREATOR, BOOL success) {
  auto& report = *reinterpret_cast<Report*>(userValue);
  report.done = true;
  report.success = success != FALSE;
  if (!success) report.error = HostErrorText();
}

// Makes the file on a worker and waits, delivering results, for the
// callback.
bool MakeOnThread(const Options& options, HOST_FILECREATOR& creator, std::string& message) {
  InitHostApi();
  Report report;
  if (!Host().HOST_CreateThreadFileCreator(options.url.c_str(), options.hasPrefix ? options.prefix.c_str() : nullptr,
                                           options.hasSuffix ? options.suffix.c_str() : nullptr, &OnFileMade,
                                           reinterpret_cast<uintptr_t>(&report), options.flags, twltool::ToolHandle(),
                                           &creator)) {
    message = HostErrorText();
    return false;
  }
  MSG queued;
  while (!report.done && GetMessageA(&queued, nullptr, 0, 0) > 0) DispatchMessageA(&queued);
  if (!report.success) message = report.error;
  return report.success;
}

bool MakeAtOnce(const Options& options, HOST_FILECREATOR& creator, std::string& message) {
  if (Host().HOST_CreateInstantFileCreator(nullptr, options.url.c_str(),
                                           options.hasPrefix ? options.prefix.c_str() : nullptr,
                                           options.hasSuffix ? options.suffix.c_str() : nullptr, nullptr, 0,
                                           options.flags, twltool::ToolHandle(), &creator)) {
    return true;
  }
  message = HostErrorText();
  return false;
}

// A file URL's own path is used as it is; any other name is a copy.
bool IsTemporary(const std::string& url, const std::string& name) {
  return strncasecmp(url.c_str(), "file://", 7) != 0 || url.substr(7) != name;
}

// False with the message when the file cannot be read or stdout fails.
bool CopyFileToStdout(const std::string& name, std::string& message) {
  std::ifstream file(name, std::ios::binary);
  char buffer[65536];
  while (file) {
    file.read(buffer, sizeof buffer);
    if (!tool::WriteStdout(buffer, static_cast<size_t>(file.gcount()))) {
      message = "cannot write to stdout";
      return false;
    }
  }
  if (file.eof()) return true;
  message = "cannot read " + name;
  return false;
}

}  // namespace

TOOL_COMMAND(RunDiskFile, "diskfile",
             "[--thread] [--flags N] [--prefix P] [--suffix S] URL  get a disk file for URL as a plug-in does "
             "(at once, or with --thread on a worker that reports back), print \"name PATH temporary 0|1\" to "
             "stderr and the file's bytes to stdout, then release it (a temporary copy is deleted); flag 1 makes "
             "a local file that lacks the prefix or suffix be copied") {
  Options options;
  std::string message;
  if (!ParseOptions(args, options, message)) return tool::Fail(message);
  HOST_FILECREATOR creator = nullptr;
  const bool made = options.thread ? MakeOnThread(options, creator, message) : MakeAtOnce(options, creator, message);
  if (!made) {
    Host().HOST_FileCreatorRelease(creator);
    return tool::Fail(message);
  }
  char* name = nullptr;
  if (!Host().HOST_FileCreatorGetFileName(creator, &name)) {
    message = HostErrorText();
    Host().HOST_FileCreatorRelease(creator);
    return tool::Fail(message);
  }
  const std::string path = name;
  Host().HOST_Free(name);
  std::fprintf(stderr, "name %s temporary %d\n", path.c_str(), IsTemporary(options.url, path) ? 1 : 0);
  const bool written = CopyFileToStdout(path, message);
  Host().HOST_FileCreatorRelease(creator);
  if (options.thread) ExitHostApi();
  if (!written) return tool::Fail(message);
  return 0;
}
