// The program's crash filter: when an exception reaches the top of any
// thread, the report goes to the log file (when it has a name) and to the
// log window (when there is one), with the module that holds the faulting
// address; then the caller's after-report step runs (the core copies the
// log to its crash log there), and last the fatal-error message box tells
// the user. The process ends afterwards.
//
// Everything it does must be safe in a signal handler: the sinks are set
// up before, the report is built in memory set aside for it, and the
// after-report step must keep to the same calls.
#pragma once

#include <windows.h>

class CLog;
class CLogFile;

struct CrashFilterTargets {
  CLogFile* logFile = nullptr;
  CLog* logWindow = nullptr;
  void (*afterReport)() = nullptr;
};

// Installs TopLevelExceptionFilter for the whole process and fetches the
// box's texts. The targets are not owned and must live as long as the
// filter is installed.
void InstallCrashFilter(const CrashFilterTargets& targets);

LONG WINAPI TopLevelExceptionFilter(EXCEPTION_POINTERS* exception);
