// Opening files, folders, web pages and help files with the programs the
// desktop chooses (xdg-open, asked first through xdg-mime whether a program
// exists for a file's type), or, without a desktop, recording what would
// have been opened. Every call is recorded for the testing header.
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/PathResolver.h"
#include "platform/kernel/ChildProcess.h"
#include "platform/kernel/Headless.h"
#include "twlwin/errors.h"
#include "twlwin/help.h"
#include "twlwin/shell.h"
#include "twlwin/testing_desktop.h"
#include "twlwin/windowing.h"

namespace twl::shell {

namespace {

constexpr INT_PTR kOpened = 42;
constexpr int kQueryTimeout = 5000;
constexpr DWORD kErrorNoAssociation = 1155;

struct Launches {
  std::mutex lock;
  std::optional<bool> recordAsked;
  std::deque<INT_PTR> results;
  std::vector<TWL_SHELL_LAUNCH> records;
};

Launches& TheLaunches() {
  static auto* launches = new Launches;  // never destroyed: used during exit
  return *launches;
}

// Recording instead of opening: without a desktop, or when a test asks.
// A pushed result is taken here too (it answers a recorded launch).
bool Recording(std::optional<INT_PTR>& pushed) {
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  const bool recording = l.recordAsked.value_or(false) || !HasDesktop();
  if (recording && !l.results.empty()) {
    pushed = l.results.front();
    l.results.pop_front();
  }
  return recording;
}

void Copy(const char* from, char* to, size_t size) {
  std::snprintf(to, size, "%s", from ? from : "");
}

// Keeps the record; one made instead of opening is also noted on stderr,
// so a headless run shows what it would have opened.
void Record(const TWL_SHELL_LAUNCH& launch, bool recordedInstead) {
  if (recordedInstead) std::fprintf(stderr, "[shell] %s %s %s\n", launch.call, launch.verb, launch.target);
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  l.records.push_back(launch);
}

TWL_SHELL_LAUNCH NewRecord(const char* call, const std::string& verb, const char* target) {
  TWL_SHELL_LAUNCH launch{};
  Copy(call, launch.call, sizeof launch.call);
  Copy(verb.c_str(), launch.verb, sizeof launch.verb);
  Copy(target, launch.target, sizeof launch.target);
  return launch;
}

// "http://...", "mailto:...": a scheme of two or more letters (one letter
// and a colon is a drive).
bool IsUrl(const std::string& target) {
  size_t colon = target.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(target[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return std::isalpha(static_cast<unsigned char>(target[0])) != 0;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// Whether the desktop has a program for the file's type. When xdg-mime
// cannot tell, xdg-open is left to find out.
bool HasProgramFor(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
  auto type = RunForOutput({"xdg-mime", "query", "filetype", path}, kQueryTimeout);
  if (!type || Trimmed(*type).empty()) return true;
  auto program = RunForOutput({"xdg-mime", "query", "default", Trimmed(*type)}, kQueryTimeout);
  return !program || !Trimmed(*program).empty();
}

// Opens a URL or an existing local path on the desktop, without waiting.
INT_PTR OpenOnDesktop(const std::string& target, bool localFile) {
  if (localFile && !HasProgramFor(target)) return SE_ERR_NOASSOC;
  SpawnRequest request;
  request.program = "xdg-open";
  request.searchPath = true;
  request.args = {"xdg-open", target};
  request.newSession = true;
  int error = 0;
  if (StartChild(request, error)) return kOpened;
  return error == ENOENT ? SE_ERR_NOASSOC : (error == ENOMEM ? SE_ERR_OOM : SE_ERR_ACCESSDENIED);
}

// The path a file argument names: relative ones in `directory`.
std::string LocalPath(const std::string& file, const char* directory) {
  std::string given = WithSlashes(file.c_str());
  if (directory && *directory && !given.empty() && given[0] != '/')
    given = WithSlashes(directory) + "/" + given;
  return ResolvePath(given.c_str());
}

void SetErrorFor(INT_PTR result) {
  switch (result) {
    case SE_ERR_FNF: SetLastError(ERROR_FILE_NOT_FOUND); break;
    case SE_ERR_PNF: SetLastError(ERROR_PATH_NOT_FOUND); break;
    case SE_ERR_ACCESSDENIED: SetLastError(ERROR_ACCESS_DENIED); break;
    case SE_ERR_OOM: SetLastError(ERROR_NOT_ENOUGH_MEMORY); break;
    default: SetLastError(kErrorNoAssociation); break;
  }
}

bool IsOpenVerb(const char* operation) {
  if (!operation || !*operation) return true;
  std::string verb;
  for (const char* c = operation; *c; ++c) verb += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return verb == "open" || verb == "explore";
}

// Opens a help file (local, must exist); true when it was opened or
// recorded as opened.
bool OpenHelpFile(TWL_SHELL_LAUNCH& launch, const std::string& path) {
  std::optional<INT_PTR> pushed;
  const bool recording = Recording(pushed);
  if (recording) {
    launch.result = pushed.value_or(kOpened);
  } else {
    launch.result = OpenOnDesktop(path, true);
    launch.opened = launch.result > 32;
  }
  bool ok = launch.result > 32;
  launch.result = ok ? 1 : 0;
  Record(launch, recording);
  if (!ok) SetLastError(ERROR_FILE_NOT_FOUND);
  return ok;
}

}  // namespace

}  // namespace twl::shell

using namespace twl::shell;

TWLAPI HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT) {
  TWL_SHELL_LAUNCH launch = NewRecord("ShellExecute", operation ? operation : "", file);
  Copy(parameters, launch.parameters, sizeof launch.parameters);
  Copy(directory, launch.directory, sizeof launch.directory);
  const std::string target = file ? file : "";
  const bool url = IsUrl(target);
  const std::string path = url ? target : LocalPath(target, directory);
  INT_PTR result = kOpened;
  if (target.empty() || (!url && !Exists(path))) result = SE_ERR_FNF;
  else if (!IsOpenVerb(operation)) result = SE_ERR_NOASSOC;
  std::optional<INT_PTR> pushed;
  const bool recording = Recording(pushed);
  if (recording) {
    if (pushed) result = *pushed;
  } else if (result == kOpened) {
    result = OpenOnDesktop(path, !url);
    launch.opened = result > 32;
  }
  launch.result = result;
  Record(launch, recording);
  if (result <= 32) SetErrorFor(result);
  return reinterpret_cast<HINSTANCE>(result);
}

TWLAPI BOOL WinHelpA(HWND, LPCSTR file, UINT command, ULONG_PTR data) {
  TWL_SHELL_LAUNCH launch = NewRecord("WinHelp", std::to_string(command), file);
  launch.data = data;
  if (command == HELP_QUIT) {
    launch.result = 1;
    Record(launch, false);
    return TRUE;
  }
  if (!file || !*file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string path = LocalPath(file, nullptr);
  if (!Exists(path)) {
    Record(launch, false);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return OpenHelpFile(launch, path) ? TRUE : FALSE;
}

TWLAPI HWND HtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR data) {
  TWL_SHELL_LAUNCH launch = NewRecord("HtmlHelp", std::to_string(command), file);
  launch.data = data;
  if (command == HH_CLOSE_ALL) {
    Record(launch, false);
    return nullptr;
  }
  if (!file || !*file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string name = file;
  name = name.substr(0, std::min(name.find("::"), name.find('>')));
  std::string path = LocalPath(name, nullptr);
  if (!Exists(path)) {
    Record(launch, false);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return OpenHelpFile(launch, path) ? GetDesktopWindow() : nullptr;
}

TWLAPI void TwlTestRecordShellLaunches(BOOL record) {
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  l.recordAsked = record != FALSE;
}

TWLAPI void TwlTestPushShellResult(INT_PTR result) {
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  l.results.push_back(result);
}

TWLAPI int TwlTestShellLaunchCount() {
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  return static_cast<int>(l.records.size());
}

TWLAPI BOOL TwlTestGetShellLaunch(int index, TWL_SHELL_LAUNCH* launch) {
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  if (index < 0 || static_cast<size_t>(index) >= l.records.size()) return FALSE;
  if (launch) *launch = l.records[static_cast<size_t>(index)];
  return TRUE;
}

TWLAPI void TwlTestResetShellLaunches() {
  Launches& l = TheLaunches();
  std::lock_guard guard(l.lock);
  l.recordAsked.reset();
  l.results.clear();
  l.records.clear();
}
