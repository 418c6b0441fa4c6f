// The system's small services around files, processes and texts:
// temporary files, detached processes, the current folder, date texts,
// file information updates and installing skins.
#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/core/System.h"
#include "app/core/UserInterfaceLink.h"
#include "foundation/appcore/DateTimeText.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/diskfile/TempFiles.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `path` starts with `folder`, ignoring case and taking "\" and
// "/" as one.
bool StartsWithFolder(const char* path, const char* folder) {
  for (; *folder; ++folder, ++path) {
    if (!*path) return false;
    if (IsSeparator(*folder) && IsSeparator(*path)) continue;
    if (FoldCase(*folder) != FoldCase(*path)) return false;
  }
  return true;
}

const char* FileNameOf(const char* path) {
  const char* name = path;
  for (const char* at = path; *at; ++at)
    if (IsSeparator(*at)) name = at + 1;
  return name;
}

}  // namespace

CStr CSystem::CreateTempFile(const char* prefix, const char* suffix, HANDLE* file) {
  return ::CreateTempFile(prefix, suffix, file);
}

bool CSystem::StartProcess(const char* commandLine, HANDLE* process) {
  std::vector<char> line(commandLine ? commandLine : "", commandLine ? commandLine + std::strlen(commandLine) : nullptr);
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                      &started)) {
    SetThreadError(1, 0, LocalText("CSystem.CreateProcessFailed", "Error starting process."));
    return false;
  }
  CloseHandle(started.hThread);
  if (process)
    *process = started.hProcess;
  else
    CloseHandle(started.hProcess);
  return true;
}

CStr CSystem::GetCurrentDirectory() const {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return m_ProgramFolder;
  std::vector<char> buffer(needed + 1, '\0');
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return m_ProgramFolder;
  return CStr(buffer.data(), length);
}

CStr CSystem::FormatDate(const SYSTEMTIME& time, bool withWeekday) { return ::FormatDate(time, withWeekday); }
CStr CSystem::FormatTime(const SYSTEMTIME& time) { return ::FormatTime(time); }
CStr CSystem::FormatDateAndTime(const SYSTEMTIME& time, bool withWeekday) {
  return ::FormatDateAndTime(time, withWeekday);
}

void CSystem::UpdateFileInfo(const char* path, const char* title, INT titlePriority, INT value1, INT priority1,
                             INT value2, INT priority2) {
  if (!m_FileInfoDataBase) return;
  m_FileInfoDataBase->UpdateFileInfo(path, title, titlePriority, value1 < 0 ? 0 : value1, priority1, value2,
                                     priority2);
}

bool CSystem::InstallSkin(const char* path, bool activate) {
  const char* source = path ? path : "";
  if (strncasecmp(source, "file://", 7) == 0) source += 7;
  const bool inSkinsFolder = StartsWithFolder(source, m_SkinsFolder) &&
                             !std::strpbrk(source + m_SkinsFolder.GetLength(), "\\/");
  const char* name = FileNameOf(source);
  const CStr target = m_SkinsFolder + name;
  if (!inSkinsFolder && !CopyFileA(source, target, FALSE)) {
    CStr text = LocalText("CSystem.InstallSkinFailed",
                          "Error installing skin '%SKIN%': Unable to copy the file into the skin directory.");
    SetThreadError(1, 0, ReplacePlaceholder(text, PlaceholderPair{"%SKIN%", name}));
    return false;
  }
  if (activate) {
    if (CUserInterfaceLink* ui = GetUserInterfaceLink()) ui->ChangeSkin(target);
  }
  return true;
}

void CSystem::OnActivateApp(bool active) {
  if (active && HasLogWindow()) m_LogWindow.PlaceBehind(GetMainWindowHandle());
  if (CUserInterfaceLink* ui = GetUserInterfaceLink()) ui->OnOwnerActivate(active);
}
