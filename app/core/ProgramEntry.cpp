// The player's entry: crash filter, the two start phases, the message loop
// and the ordered shut-down, with the fatal-error handler around them.
#include "app/core/ProgramEntry.h"

#include <cstdlib>

#include "app/core/MessageLoop.h"
#include "app/core/System.h"
#include "foundation/appcore/CrashFilter.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/MemoryError.h"

namespace {

void CopyLogAfterCrash() { GetSystem().CopyLogToCrashLog(); }

void ShowError(const CError* error) {
  MessageBoxA(nullptr, error->GetText(), error->GetCaption(), MB_ICONERROR);
}

// Writes one part of a fatal report to both sinks; the pop-up rule of its
// code applies as for every entry.
void WriteTimeToLogs(CSystem& system) {
  if (system.GetLogFile().HasFileName()) system.GetLogFile().WriteTime(LOG_SEVERITY_INFORMATION);
  if (system.HasLogWindow()) system.GetLogWindow().WriteTime(LOG_SEVERITY_INFORMATION);
}

void ReportOutOfMemory(CSystem& system) {
  try {
    WriteTimeToLogs(system);
    system.LogFormat(LOGCODE_INFO, " - %s\n\n",
                     LocalText("FatalError.OutOfMemory.Log", "Fatal error: Not enough memory").c_str());
  } catch (CError* error) {
    DisposeError(error);
  }
  MessageBoxA(nullptr,
              LocalText("FatalError.OutOfMemory.MessageBox.Text",
                        "Fatal error:\n\nThe program ran out of memory. Try to free some additional disk space."),
              LocalText("FatalError.OutOfMemory.MessageBox.Caption", "Memory error"), MB_ICONERROR);
}

void ReportFatalError(CSystem& system, const CError* error) {
  WriteTimeToLogs(system);
  system.LogFormat(LOGCODE_INFO, " - %s\n", LocalText("FatalErrorPrefix", "a fatal error occurred:").c_str());
  system.LogFormat(LOGCODE_INFO, "%s\n%s\n", error->GetCaption().c_str(), error->GetText().c_str());
  system.LogFormat(LOGCODE_INFO, "\n");
  ShowError(error);
}

void HandleFatalError(CSystem& system, CError* error) {
  if (dynamic_cast<CMemoryError*>(error)) {
    ReportOutOfMemory(system);
  } else {
    try {
      ReportFatalError(system, error);
    } catch (CError* nested) {
      DisposeError(nested);
    }
  }
  DisposeError(error);
}

void ReportLoopFailure(CSystem& system) {
  const CStr text = LocalText("MessageLoopError.Text", "Message loop error");
  system.LogFormat(LOGCODE_INFO, "%s\n", text.c_str());
  if (system.HasLogWindow()) system.GetLogWindow().Show(true);
  MessageBoxA(nullptr, text, LocalText("MessageLoopError.Caption", "Windows error"), MB_ICONERROR);
}

}  // namespace

namespace {

std::string Argument(char** argv, int index) { return argv[index] ? argv[index] : ""; }

std::string Quoted(const std::string& argument) { return "\"" + argument + "\""; }

// A shell's pattern or a file manager's %F gives each file as an argument
// of its own, and no switch comes with them.
bool AreSeveralFiles(int argc, char** argv) {
  if (argc < 3) return false;
  for (int i = 1; i < argc; ++i) {
    if (Argument(argv, i).starts_with('-')) return false;
  }
  return true;
}

// The file association's own command for each file: the first one added
// and made current, the others added, then play.
std::string AddAndPlayLine(int argc, char** argv) {
  std::string line = "-ag " + Quoted(Argument(argv, 1));
  for (int i = 2; i < argc; ++i) line += " -a " + Quoted(Argument(argv, i));
  return line + " -p";
}

}  // namespace

std::string JoinArguments(int argc, char** argv) {
  if (AreSeveralFiles(argc, argv)) return AddAndPlayLine(argc, argv);
  std::string line;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = Argument(argv, i);
    if (i > 1) line += ' ';
    const bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    line += quote ? Quoted(argument) : argument;
  }
  return line;
}

bool StartSystem(HINSTANCE instance, const char* commandLine) {
  CSystem& system = GetSystem();
  try {
    if (system.Start(instance, commandLine)) return true;
  } catch (CError* error) {
    ShowError(error);
    DisposeError(error);
  }
  system.Exit();
  return false;
}

int RunProgram(HINSTANCE instance, const char* commandLine) {
  CSystem& system = GetSystem();
  CrashFilterTargets targets;
  targets.logFile = &system.GetLogFile();
  targets.logWindow = &system.GetLogWindow();
  targets.afterReport = &CopyLogAfterCrash;
  InstallCrashFilter(targets);
  InitCommonControls();
  std::srand(timeGetTime());

  if (!StartSystem(instance, commandLine)) return 1;
  OleInitialize(nullptr);

  int result = 0;
  try {
    system.Init();
    if (!RunMessageLoop()) {
      ReportLoopFailure(system);
      result = 1;
    }
  } catch (CError* error) {
    HandleFatalError(system, error);
    result = 1;
  }
  system.Exit();
  return result;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) { return RunProgram(instance, commandLine); }
