#include "foundation/appcore/LogFront.h"

#include <atomic>

#include "foundation/appcore/DateTimeText.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Str.h"
#include "foundation/log/LogFile.h"

namespace {

std::atomic<CLogFront*> theLogFront{nullptr};

}  // namespace

DWORD GetLogSeverity(DWORD category) {
  if (category < 0x100) return LOG_SEVERITY_INFORMATION;
  if (category < 0x10000) return LOG_SEVERITY_ERROR;
  return LOG_SEVERITY_WARNING;
}

void SetLogFront(CLogFront* front) { theLogFront.store(front); }

CLogFront* GetLogFront() { return theLogFront.load(); }

void LogFormat(DWORD category, const char* format, ...) {
  CLogFront* front = GetLogFront();
  if (!front) return;
  va_list args;
  va_start(args, format);
  front->LogFormatV(category, format, args);
  va_end(args);
}

void LogText(DWORD category, const char* key, const char* defaultText, const char* end) {
  if (!GetLogFront()) return;
  LogFormat(category, "%s%s", LocalText(key, defaultText).c_str(), end ? end : "");
}

void LogTime(DWORD category) {
  if (!GetLogFront()) return;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  LogFormat(category, "%s", FormatTime(now).c_str());
}

void CLogSinksFront::LogFormatV(DWORD category, const char* format, va_list args) {
  const DWORD severity = GetLogSeverity(category);
  va_list copy;
  if (m_LogFile && m_LogFile->HasFileName()) {
    va_copy(copy, args);
    m_LogFile->PrintV(format, copy, severity);
    va_end(copy);
  }
  if (m_LogWindow) {
    va_copy(copy, args);
    m_LogWindow->PrintV(format, copy, severity);
    va_end(copy);
  }
}
