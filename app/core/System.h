// CSystem: the spine of the player program. It finds the program's folders
// and settings root, keeps the version, owns the two log sinks (and is the
// log front every part of the program writes through), the main owner
// window and the commands of the command line, the plug-in manager, the
// info databases and the icon manager, brings the systems up in its two
// start phases (Start before OLE, Init after it), keeps the
// queue of deferred SendMessage calls for the message loop, and takes
// everything down again in order (Exit). One instance per process
// (GetSystem).
//
// Threading: Start, Init, Exit, the deferred queue and the timing belong to
// the user-interface thread. The registry functions, the log front and the
// read accessors may be called from any thread once Start has run.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <deque>
#include <memory>
#include <vector>

#include "app/command/CommandBlock.h"
#include "app/core/OwnerWindow.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/appcore/StepTiming.h"
#include "foundation/icons/IconManager.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "foundation/log/LogFile.h"
#include "foundation/log/LogWindow.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/plugins/PlugInLoader.h"

// One SendMessage queued for the user-interface thread's loop.
struct DeferredMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// The thread message that wakes the loop for deferred sends; it reaches
// no window.
constexpr UINT kWakeForDeferredMessages = 1124;
// Posted once to the main window when the start is complete.
constexpr UINT kStartCompleteMessage = 1190;

// The log codes in use (the code decides the class and the pop-up).
enum LogCode : DWORD {
  LOGCODE_INFO = 0,
  LOGCODE_ERROR = 0x100,
  LOGCODE_PAINT = 0x200,
  LOGCODE_RESOURCES = 0x300,
  LOGCODE_SUBSYSTEM = 0x400,
  LOGCODE_WARNING = 0x10000,
};

// The log window's pop-up modes.
enum LogPopUpMode : LONG {
  LOGPOPUP_NEVER = 0,
  LOGPOPUP_ALWAYS = 1,
  LOGPOPUP_WHEN_WINDOW_FOUND = 2,
};

class CSystem : public CTypedObject, public CLogFront, public CStepTimer {
  TWL_DECLARE_CLASS(CSystem)
 public:
  static constexpr const char* kSettingsKeyPath = kProductSettingsPath;
  static constexpr const char* kPlayerName = kProductName;

  CSystem();
  CSystem(const CSystem&) = delete;
  CSystem& operator=(const CSystem&) = delete;
  ~CSystem() override;

  // The start phases. Start answers false when this process must end
  // because its commands went to a running instance; failures of both are
  // thrown as CError pointers.
  bool Start(HINSTANCE instance, const char* commandLine);
  void Init();
  // Takes down whatever was brought up; safe after a failed or missing
  // Start or Init, and more than once.
  void Exit();

  // Steps of Start, public for the start of tests.
  void InitDirectories();
  void InitLogs();
  void ExtractVersion();
  void WriteAppDir();
  void ReadFirstStart();
  void WriteFirstStart(bool firstStart);

  // The command line: the block of its commands (null when it held none),
  // with -n and -z; problems go to `errors`, one line each.
  std::unique_ptr<CommandBlock> ParseCommandLine(const char* commandLine, bool& newInstance, CStr& errors);
  // Finds running instances by their owner windows. With commands and a
  // running instance the block goes to it and the answer is false; a
  // faulty command line without any command also answers false when an
  // instance runs (nothing is sent). Otherwise this process takes the
  // next free instance number, creates its owner window and answers true.
  // Throws the mutex errors.
  bool CheckSingleInstance(const CommandBlock* block, bool faultyCommandLine = false);
  // WM_COPYDATA with the block; returns when the receiver has taken it.
  static void SendCommandBlock(HWND window, const CommandBlock& block);
  // Lets the process that owns the window come to the foreground.
  static void AllowForegroundForWindow(HWND window);
  // Runs the records in block order; the block stays the caller's.
  void ExecuteCommandBlock(const CommandBlock& block);
  void ExecuteCommand(const CommandRecordView& record);
  // The block of this start's own command line until Init hands it to the
  // owner window.
  const CommandBlock* GetPendingCommands() const { return m_PendingCommands.get(); }
  COwnerWindow& GetOwnerWindow() { return *m_OwnerWindow; }
  // The owner window's WM_ACTIVATEAPP: the log window goes behind the main
  // window, then the user interface hears it.
  void OnActivateApp(bool active);

  // Steps of Init.
  void RetrieveSystemInfo();
  void CheckCommonControls();
  void LoadPlugIns();
  // Picks up plug-ins copied into the PlugIns folder since the last look;
  // called once a second by the main window's tick.
  void LoadNewPlugIns();

  // Deferred SendMessage calls, user-interface thread only.
  void PostDeferredSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void DeliverDeferredMessages();
  void ClearDeferredMessages();

  // Step timing (on with -z): nested measurements, each ending with a
  // "PERFORMANCE:" line. Start installs the system as the step timer of
  // its thread, so steps marked below the core are timed too.
  void SetTimingFlag(bool timing) { m_Timing = timing; }
  void BeginTiming() override;
  void EndTiming(const char* label) override;

  // The log front: formats one entry and hands it to both sinks with the
  // code's class; the code may pop the log window up.
  void LogFormatV(DWORD code, const char* format, va_list args) override;
  void LogFormat(DWORD code, const char* format, ...) __attribute__((format(printf, 3, 4)));
  bool ShouldShowLogWindow(DWORD code);
  // Makes a code pop the window up, or not (the table is fixed for the
  // product; tests and the later options change it).
  void SetLogPopUpMode(DWORD code, LONG mode);

  // The registry functions of the program. They never throw: a failure
  // answers false and leaves the reason in the calling thread's error.
  static bool OpenRegistryKey(HKEY root, const char* subKey, REGSAM access, HKEY* key);
  static bool CreateRegistryKey(HKEY root, const char* subKey, REGSAM access, HKEY* key, const char* defaultText);
  bool OpenClassesKey(REGSAM access, HKEY* key) const;
  static bool DeleteRegistryValue(HKEY key, const char* name);
  static bool GetRegistryString(HKEY key, const char* name, CStr& text);
  static bool GetRegistryDWord(HKEY key, const char* name, DWORD* value);
  static bool GetRegistryBinary(HKEY key, const char* name, void* buffer, DWORD size);
  static bool GetRegistryBinaryAlloc(HKEY key, const char* name, std::vector<BYTE>& data);
  static bool SetRegistryString(HKEY key, const char* name, const char* text);
  static bool SetRegistryDWord(HKEY key, const char* name, DWORD value);
  static bool SetRegistryBinary(HKEY key, const char* name, const void* data, DWORD size);

  // False only when both versions are above the program's.
  bool IsVersionSupported(DWORD first, DWORD second) const;

  // True when the file can be opened (no access asked, shared).
  static bool FileExists(const char* path);
  // True when the path is an existing folder; the two names are one test.
  // The folder is tested where it is: the process's current folder never
  // changes, since other threads use relative paths.
  static bool DirectoryExists(const char* path);
  static bool IsDirectory(const char* path) { return DirectoryExists(path); }
  // A new file "<temp folder><prefix><0000..99999><suffix>"; throws when
  // there is no temporary folder or no free name.
  static CStr CreateTempFile(const char* prefix, const char* suffix, HANDLE* file);
  // Starts a program detached (in a session of its own). False with the
  // thread error "Error starting process." when it cannot start.
  static bool StartProcess(const char* commandLine, HANDLE* process);
  // The process's current folder; the program folder when unreadable.
  CStr GetCurrentDirectory() const;
  static CStr FormatDate(const SYSTEMTIME& time, bool withWeekday);
  static CStr FormatTime(const SYSTEMTIME& time);
  static CStr FormatDateAndTime(const SYSTEMTIME& time, bool withWeekday);
  // Offers a file's title and two values with their priorities to the
  // file information database (whoever knows more wins).
  void UpdateFileInfo(const char* path, const char* title, INT titlePriority, INT value1, INT priority1, INT value2,
                      INT priority2);
  // Copies a skin file (a path or "file://" URL) into the Skins folder
  // unless it lies there already, and with `activate` makes it the skin.
  // False with the thread error when the copy fails.
  bool InstallSkin(const char* path, bool activate);
  // Copies the log onto the crash log; safe inside the crash filter.
  void CopyLogToCrashLog();

  // Read access for the rest of the program.
  INT GetInstanceNumber() const { return m_InstanceNumber; }
  void SetInstanceNumber(INT number) { m_InstanceNumber = number; }
  const CStr& GetProgramFolder() const { return m_ProgramFolder; }
  const CStr& GetSkinsFolder() const { return m_SkinsFolder; }
  const CStr& GetPlugInsFolder() const { return m_PlugInsFolder; }
  const CStr& GetSystemFolder() const { return m_SystemFolder; }
  // The settings key the start chose (kept by the library's settings key,
  // which every part of the program opens).
  HKEY GetSettingsRoot() const;
  CStr GetSettingsPath() const;
  HKEY GetClassesRoot() const { return m_ClassesRoot; }
  const CStr& GetClassesPath() const { return m_ClassesPath; }
  INT GetDirectXVersion() const { return m_DirectXVersion; }
  DWORD GetMainThreadId() const { return m_MainThreadId; }
  bool IsFirstStart() const { return m_FirstStart; }
  DWORD GetPackedVersion() const { return m_Version; }
  INT GetMajorVersion() const { return m_MajorVersion; }
  INT GetMinorVersion() const { return m_MinorVersion; }
  INT GetBuildNumber() const { return m_BuildNumber; }
  const CStr& GetVersionText() const { return m_VersionText; }
  const CStr& GetLogFileName() const { return m_LogFileName; }
  const CStr& GetCrashLogFileName() const { return m_CrashLogFileName; }
  CLogFile& GetLogFile() { return m_LogFile; }
  CLogWindow& GetLogWindow() { return m_LogWindow; }
  bool HasLogWindow() { return m_LogWindow.GetWindowHandle() != nullptr; }
  CPlugInManager& GetPlugInManager() { return m_PlugIns.GetManager(); }
  bool IsWatchingPlugIns() const { return m_PlugIns.IsWatching(); }
  // The process's file and folder information databases while the system
  // is up (from the start step that makes the desktop record until Exit
  // frees their records); null otherwise.
  CFileInfoDataBase* GetFileInfoDataBase() { return m_FileInfoDataBase; }
  CFolderInfoDataBase* GetFolderInfoDataBase() { return m_FolderInfoDataBase; }
  CIconManager& GetIconManager() { return m_IconManager; }
  HINSTANCE GetInstance() const { return m_Instance; }
  // The module whose resources (icons, version) the program uses; Start
  // sets it.
  void SetInstance(HINSTANCE instance) { m_Instance = instance; }

 private:
  void ChooseSettingsRoot();
  void ChooseClassesRoot();
  void InitFolderInfoDataBase();
  void InitInfoDataBases();
  void DetachInfoListeners();
  void FreeInfoDataBases();
  void LoadOptions();
  void InitFileIdentifierSystem();
  void ExitFileIdentifierSystem();
  void InitPlayerSystem();
  void ExitPlayerSystem();
  void CloseLogs();
  static BOOL CALLBACK FindMaximisedProgramWindow(HWND window, LPARAM self);
  bool RunWindowTest();

  INT m_InstanceNumber = 0;
  std::unique_ptr<COwnerWindow> m_OwnerWindow = MakeOwnerWindow();
  std::unique_ptr<CommandBlock> m_PendingCommands;
  CStr m_ProgramFolder;
  CStr m_SkinsFolder;
  CStr m_PlugInsFolder;
  CStr m_SystemFolder;
  CStr m_ClassesPath;
  HKEY m_ClassesRoot = HKEY_CLASSES_ROOT;
  INT m_DirectXVersion = -1;
  CLogFile m_LogFile;
  CLogWindow m_LogWindow;
  CPlugInLoader m_PlugIns;
  bool m_PlayerSystemConnected = false;
  bool m_ViewerReady = false;
  CFileInfoDataBase* m_FileInfoDataBase = nullptr;
  CFolderInfoDataBase* m_FolderInfoDataBase = nullptr;
  CIconManager m_IconManager;
  bool m_IconManagerReady = false;
  bool m_HostApiReady = false;
  LONG m_GroupPopUp[16];
  LONG m_HighPopUp[16];
  DWORD m_MainThreadId = 0;
  std::deque<DeferredMessage> m_DeferredMessages;
  bool m_Timing = false;
  std::vector<DWORD> m_TimingStack;
  bool m_WindowTestResult = false;
  CStr m_LogFileName;
  CStr m_CrashLogFileName;
  // The two names as plain bytes, for the crash filter, which may not
  // allocate or take locks.
  char m_LogFileNameBytes[MAX_PATH * 4] = "";
  char m_CrashLogFileNameBytes[MAX_PATH * 4] = "";
  bool m_FirstStart = true;
  HINSTANCE m_Instance = nullptr;
  DWORD m_Version = 0;
  INT m_MajorVersion = -1;
  INT m_MinorVersion = -1;
  INT m_BuildNumber = -1;
  CStr m_VersionText;
};

// The program's one system object.
CSystem& GetSystem();

// The quit flag: set when the message loop takes WM_QUIT (a modal loop's
// included); user-interface thread only.
bool IsQuitting();
void SetQuitting(bool quitting);

// The skinned list controls' assertion hook: logs the place with code
// 0x100 through the log front and answers 0.
INT AssertionFailed(const char* file, INT line);
