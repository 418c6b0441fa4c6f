// CLog: a sink of the running log. Every entry ends in Write (text,
// severity); the formatting operations build the text first. Two kinds of
// sink exist: the log file (CLogFile) and the log window. A group of
// entries between BeginWrite and EndWrite stays together in the sink; a
// group begins and ends on the same thread.
//
// A sink never throws and never reports: what it cannot write is lost.
#pragma once

#include <windows.h>

#include <cstdarg>

#include "foundation/kernel/TypedObject.h"

class CError;

// Severity of an entry: the log window colours and collects by it.
enum LogSeverity : DWORD {
  LOG_SEVERITY_INFORMATION = 0,
  LOG_SEVERITY_WARNING = 1,
  LOG_SEVERITY_ERROR = 2,
};

class CLog : public CTypedObject {
  TWL_DECLARE_CLASS(CLog)

 public:
  // Texts are zero-terminated; a line break may be CR, LF or CR LF.
  virtual void Write(const char* text, DWORD severity) = 0;
  // False when the sink cannot take the group (nothing is held then).
  virtual bool BeginWrite() { return true; }
  virtual void EndWrite() {}

  void PrintV(const char* format, va_list args, DWORD severity);
  void Print(DWORD severity, const char* format, ...) __attribute__((format(printf, 3, 4)));

  // The current local date, time or both, as the program formats them.
  void WriteDate(DWORD severity);
  void WriteTime(DWORD severity);
  void WriteDateAndTime(DWORD severity);

  // The error's caption and text, each on a line of its own.
  void WriteError(const CError* error, DWORD severity);
  // The calling thread's last error, after a leading line when one is given.
  void WriteThreadError(const char* leadingText, DWORD severity);

  // The report of a fatal exception: the exception in words and numbers,
  // then the processor context section by section. Builds the text only
  // with calls that are safe in a signal handler, into memory set aside
  // before; reports are serialised by the caller (the crash filter).
  void WriteCrashReport(const struct _EXCEPTION_POINTERS* exception, const char* moduleName, const void* moduleBase,
                        DWORD severity);

 protected:
  // Writes a whole crash report as one group. Sinks that can do so with
  // calls safe in a signal handler override it.
  virtual void WriteReportText(const char* text, DWORD severity);
};
