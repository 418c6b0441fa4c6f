// The log front: where the program's entries go, by category code. The
// application core owns the log file and the log window and installs the
// front that writes to both; code below it logs through LogFormat only.
// Until a front is installed, entries are dropped.
#pragma once

#include <windows.h>

#include <cstdarg>

class CLog;
class CLogFile;

// Categories the library uses (the core may know more).
enum LogCategory : DWORD {
  LOG_CATEGORY_INFO = 0,         // headers, done texts
  LOG_CATEGORY_ERROR = 0x100,    // errors
  LOG_CATEGORY_WARNING = 0x300,  // warnings such as a missing icon
};

// The severity a sink receives for a category: below 0x100 information,
// 0x100 to 0xFFFF error, 0x10000 and above warning.
DWORD GetLogSeverity(DWORD category);

class CLogFront {
 public:
  virtual ~CLogFront() = default;
  virtual void LogFormatV(DWORD category, const char* format, va_list args) = 0;
};

// The front is not owned; null removes it.
void SetLogFront(CLogFront* front);
CLogFront* GetLogFront();

void LogFormat(DWORD category, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The localised text of a key, followed by `end` (such as "\n").
void LogText(DWORD category, const char* key, const char* defaultText, const char* end = "");
// The current local time as the log writes it.
void LogTime(DWORD category);

// A front over the two sinks: each entry goes, with its category's
// severity, to the log file when it has a name and to the log window when
// there is one. Either may be null.
class CLogSinksFront : public CLogFront {
 public:
  CLogSinksFront(CLogFile* logFile, CLog* logWindow) : m_LogFile(logFile), m_LogWindow(logWindow) {}
  void LogFormatV(DWORD category, const char* format, va_list args) override;

 private:
  CLogFile* m_LogFile;
  CLog* m_LogWindow;
};
