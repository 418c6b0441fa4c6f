// CLogFile: the log sink that appends to a text file. Lines end in CR LF
// whatever break the text used. Between entries the file is closed, so
// that other programs can read it and the log survives a crash; during a
// group (BeginWrite to EndWrite) it stays open and the lock stays held, so
// that no other thread's entry lands inside the group.
//
// Any thread may write; the lock is re-entrant, so a thread inside a group
// may write further entries.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/log/Log.h"

class CLogFile : public CLog {
  TWL_DECLARE_CLASS(CLogFile)

 public:
  CLogFile();
  CLogFile(const CLogFile&) = delete;
  CLogFile& operator=(const CLogFile&) = delete;
  ~CLogFile() override;

  // Logging to file is off until a name is set, and off again after
  // ClearFileName (which also ends every open group).
  void SetFileName(const char* name);
  void ClearFileName();
  bool HasFileName();

  void Write(const char* text, DWORD severity) override;
  // Opens the file when needed and keeps the lock until EndWrite; false,
  // keeping nothing, when the file cannot be opened.
  bool BeginWrite() override { return OpenForAppend(); }
  void EndWrite() override { Release(); }

  bool OpenForAppend();
  void Release();

 protected:
  void WriteReportText(const char* text, DWORD severity) override;

 private:
  void WriteBytes(const char* bytes, size_t length);

  CStr m_FileName;
  HANDLE m_File = nullptr;
  LONG m_Nesting = 0;
  CRITICAL_SECTION m_Lock;
  // The file's path for the crash report, which may not allocate: kept
  // ready from SetFileName on. Empty when the name does not fit.
  char m_CrashPath[4096] = {};
};
