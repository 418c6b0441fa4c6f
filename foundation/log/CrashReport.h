// The words of a crash report: the English text of an exception code. The
// report itself is CLog::WriteCrashReport.
#pragma once

#include <windows.h>

// "Unknown exception code." for a code without a text. Never null.
const char* GetExceptionCodeText(DWORD code);
