// Host API slots of the log and the message box. Entries go through the
// program's log front, which writes them to the log file and the log
// window and decides by the category whether the window pops up.
#include <cstdarg>

#include "foundation/appcore/DateTimeText.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

void WriteLocalTime(CStr (*format)(const SYSTEMTIME&)) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LogFormat(LOG_CATEGORY_INFO, "%s", format(now).c_str());
}

}  // namespace

void HOST_LogWrite(const char* text, DWORD category) {
  if (!text) {
    FailInvalidParameter();
    return;
  }
  LogFormat(category, "%s", text);
}

void HOST_LogWriteParams(const char* format, va_list* arguments, DWORD category) {
  if (!format || !arguments) {
    FailInvalidParameter();
    return;
  }
  CLogFront* front = GetLogFront();
  if (!front) return;
  va_list copy;
  va_copy(copy, *arguments);
  front->LogFormatV(category, format, copy);
  va_end(copy);
}

void HOST_LogError(const char* leadingText, DWORD category) { LogThreadError(category, leadingText); }

int HOST_MessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  return RunSlot(0, [&] { return GetHostEnvironment().ShowMessageBox(owner, text ? text : "", caption, style); });
}

void HOST_LogWriteTime() {
  WriteLocalTime([](const SYSTEMTIME& time) { return FormatTime(time); });
}

void HOST_LogWriteDate() {
  WriteLocalTime([](const SYSTEMTIME& time) { return FormatDate(time, true); });
}

void HOST_LogWriteDateAndTime() {
  WriteLocalTime([](const SYSTEMTIME& time) { return FormatDateAndTime(time, true); });
}

}  // namespace hostapi
