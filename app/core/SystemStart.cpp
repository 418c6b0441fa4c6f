// The first start phase: folders, settings root, version, "AppDir", the
// log files and the first-start flag.
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/command/CommandLine.h"
#include "app/core/System.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/playersystem/PlayerSystem.h"

namespace {

constexpr DWORD kFirstPathBuffer = MAX_PATH + 1;

[[noreturn]] void ThrowNoProgramFolder() {
  ThrowError<CError>(LocalText("CSystem.GetExecutablePathError.Caption", "Generic error"),
                     LocalText("CSystem.GetExecutablePathError.Text", "Unable to obtain application directory."));
}

[[noreturn]] void ThrowNoSystemFolder() {
  ThrowError<CError>(LocalText("GetSystemDirectoryFailed.Caption", "Generic error"),
                     LocalText("GetSystemDirectoryFailed.Text", "Unable to obtain system directory path."));
}

// The program's path, however long: the buffer doubles while the answer
// fills it.
CStr ProgramPath(HINSTANCE instance) {
  std::vector<char> buffer(kFirstPathBuffer);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameA(instance, buffer.data(), size);
    if (length == 0) ThrowNoProgramFolder();
    if (length < size - 1) return CStr(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

CStr SystemFolder() {
  const UINT needed = GetSystemDirectoryA(nullptr, 0);
  if (needed == 0) ThrowNoSystemFolder();
  std::vector<char> buffer(static_cast<size_t>(needed) + 3, '\0');
  const UINT length = GetSystemDirectoryA(buffer.data(), needed + 1);
  if (length == 0 || length > needed) ThrowNoSystemFolder();
  CStr folder(buffer.data(), length);
  if (buffer[length - 1] != '\\' && buffer[length - 1] != '/') folder += "\\";
  return folder;
}

// A start that ends after the running instance was found has no log of
// its own: what it could not understand goes to its standard error.
void ReportFaultsOfAForwardedStart(const CStr& errors) {
  if (!errors.IsEmpty()) std::fputs(errors.c_str(), stderr);
}

void CopyName(char* target, size_t capacity, const CStr& name) {
  const size_t length = name.GetLength() < capacity - 1 ? name.GetLength() : capacity - 1;
  std::memcpy(target, name.c_str(), length);
  target[length] = '\0';
}

}  // namespace

bool CSystem::Start(HINSTANCE instance, const char* commandLine) {
  m_MainThreadId = GetCurrentThreadId();
  m_Instance = instance;
  SetErrorMode(SEM_FAILCRITICALERRORS);
  InitDirectories();
  bool newInstance = false;
  CStr errors;
  std::unique_ptr<CommandBlock> block = ParseCommandLine(commandLine, newInstance, errors);
  // With -n the commands stay here, whoever runs. A line that held nothing
  // valid still asked the running instance for something: it does not
  // become a further instance, it reports its faults and ends.
  if (!CheckSingleInstance(newInstance ? nullptr : block.get(), !newInstance && !errors.IsEmpty())) {
    ReportFaultsOfAForwardedStart(errors);
    return false;
  }
  m_PendingCommands = std::move(block);
  // Files of the command line make the playlist: the last one stays unread.
  if (m_PendingCommands && CommandBlockFillsPlayList(*m_PendingCommands)) GetPlayerSystem().SetLoadLastPlayList(false);
  ExtractVersion();
  WriteAppDir();
  InitLogs();
  if (!errors.IsEmpty()) LogFormat(LOGCODE_ERROR, "%s", errors.c_str());
  ReadFirstStart();
  return true;
}

std::unique_ptr<CommandBlock> CSystem::ParseCommandLine(const char* commandLine, bool& newInstance, CStr& errors) {
  ParsedCommandLine parsed = ::ParseCommandLine(commandLine);
  newInstance = parsed.newInstance;
  errors = parsed.errors;
  m_Timing = parsed.timing;
  return std::move(parsed.block);
}

void CSystem::InitDirectories() {
  const CStr path = ProgramPath(m_Instance);
  const char* lastBackslash = std::strrchr(path.c_str(), '\\');
  const char* lastSlash = std::strrchr(path.c_str(), '/');
  const char* separator = lastBackslash > lastSlash ? lastBackslash : lastSlash;
  if (!separator) ThrowNoProgramFolder();
  m_ProgramFolder = CStr(path.c_str(), static_cast<size_t>(separator - path.c_str()) + 1);
  const char* separatorText = *separator == '/' ? "/" : "\\";
  m_SkinsFolder = m_ProgramFolder + "Skins" + separatorText;
  m_PlugInsFolder = m_ProgramFolder + "PlugIns" + separatorText;
  m_SystemFolder = SystemFolder();
  ChooseClassesRoot();
  ChooseSettingsRoot();
}

void CSystem::InitLogs() {
  CStr crashBase;
  if (m_InstanceNumber == 0) {
    m_LogFileName = m_ProgramFolder + "Log.txt";
    crashBase = m_ProgramFolder + "CrashLog";
  } else {
    m_LogFileName = CStr::Format("%sLog%d.txt", m_ProgramFolder.c_str(), m_InstanceNumber);
    crashBase = CStr::Format("%sCrashLog%d", m_ProgramFolder.c_str(), m_InstanceNumber);
  }
  // Earlier crash logs stay: the new one takes the first free number.
  m_CrashLogFileName = CStr::Format("%s.txt", crashBase.c_str());
  for (int number = 2; FileExists(m_CrashLogFileName); ++number)
    m_CrashLogFileName = CStr::Format("%s_%d.txt", crashBase.c_str(), number);
  CopyName(m_LogFileNameBytes, sizeof m_LogFileNameBytes, m_LogFileName);
  CopyName(m_CrashLogFileNameBytes, sizeof m_CrashLogFileNameBytes, m_CrashLogFileName);

  DeleteFileA(m_LogFileName);
  m_LogFile.SetFileName(m_LogFileName);
  m_LogWindow.Create(nullptr);
  SetLogFront(this);
  SetStepTimer(this);

  m_LogFile.WriteDateAndTime(LOG_SEVERITY_INFORMATION);
  m_LogWindow.WriteDateAndTime(LOG_SEVERITY_INFORMATION);
  CStr startLine = LocalText("CSystem.PlayerStarted", "%PLAYER% Version %VERSION% started (instance %INSTANCE%)");
  startLine = FillPlaceholders(startLine, {{"%VERSION%", m_VersionText},
                                           {"%INSTANCE%", CStr::Format("%d", m_InstanceNumber)},
                                           {"%PLAYER%", kPlayerName}});
  LogFormat(LOGCODE_INFO, "\n%s\n\n", startLine.c_str());
}
