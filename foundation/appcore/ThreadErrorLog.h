// Writing the calling thread's last error to the program's log: the entry
// has the log's thread-error form (see CLog::WriteThreadError) and goes
// through the log front with the category's severity, so it lands in the
// log file and the log window alike. Any thread may call it.
#pragma once

#include <windows.h>

// An empty or null leading text writes the error alone.
void LogThreadError(DWORD category, const char* leadingText);
