// CreateProcessA over posix_spawn, and the process handle's exit code.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ChildProcess.h"
#include "CommandLine.h"
#include "ErrnoMap.h"
#include "platform/files/PathResolver.h"
#include "platform/modules/Modules.h"
#include "twlwin/errors.h"
#include "twlwin/handles.h"
#include "twlwin/processes.h"
#include "twlwin/threads.h"

namespace twl {

namespace {

constexpr DWORD kErrorBadExeFormat = 193;
constexpr DWORD kSupportedFlags = DETACHED_PROCESS | CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS |
                                  CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW;

bool HasSeparator(const std::string& name) { return name.find_first_of("/\\") != std::string::npos; }

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Where the program is: a path as given (with the layer's path rules), a
// bare name in the program's folder, else a bare name for PATH.
void LocateProgram(const std::string& name, SpawnRequest& request) {
  if (HasSeparator(name)) {
    request.program = ResolvePath(name.c_str());
    return;
  }
  std::string local = ResolvePath((ProgramFolder() + "/" + name).c_str());
  if (IsExecutableFile(local)) {
    request.program = local;
    return;
  }
  request.program = name;
  request.searchPath = true;
}

std::vector<std::string> EnvironmentBlock(const char* block) {
  std::vector<std::string> entries;
  for (const char* at = block; *at; at += entries.back().size() + 1) entries.emplace_back(at);
  return entries;
}

DWORD StartError(int error, const char* program) {
  if (error == ENOEXEC) return kErrorBadExeFormat;
  return Win32ErrorFromErrno(error, program);
}

}  // namespace

}  // namespace twl

TWLAPI BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                           BOOL inheritHandles, DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation) {
  if (!startupInfo || !processInformation || (creationFlags & ~twl::kSupportedFlags)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  twl::SpawnRequest request;
  request.args = commandLine ? twl::SplitCommandLine(commandLine) : std::vector<std::string>{};
  std::string program = applicationName ? applicationName : (request.args.empty() ? "" : request.args[0]);
  if (program.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (request.args.empty()) request.args.push_back(program);
  twl::LocateProgram(program, request);
  request.newSession = (creationFlags & DETACHED_PROCESS) != 0;
  request.newProcessGroup = (creationFlags & CREATE_NEW_PROCESS_GROUP) != 0;
  request.closeInherited = !inheritHandles;
  if (currentDirectory) {
    std::string folder = twl::ResolvePath(currentDirectory);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    request.directory = folder;
  }
  if (environment) request.environment = twl::EnvironmentBlock(static_cast<const char*>(environment));

  int error = 0;
  auto child = twl::StartChild(request, error);
  if (!child) {
    SetLastError(twl::StartError(error, request.searchPath ? nullptr : request.program.c_str()));
    return FALSE;
  }
  HANDLE process = twl::InsertHandle(child);
  HANDLE thread = process ? twl::InsertHandle(child) : nullptr;
  if (!thread) {
    if (process) CloseHandle(process);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  processInformation->hProcess = process;
  processInformation->hThread = thread;
  processInformation->dwProcessId = static_cast<DWORD>(child->Pid());
  processInformation->dwThreadId = static_cast<DWORD>(child->Pid());
  return TRUE;
}

TWLAPI BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  if (process == twl::CurrentProcessPseudoHandle() && exitCode) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  auto child = std::dynamic_pointer_cast<twl::ChildProcess>(twl::FindHandle(process));
  if (!child || !exitCode) {
    SetLastError(child ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = child->ExitCode();
  return TRUE;
}
