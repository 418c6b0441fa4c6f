#include "foundation/log/Log.h"

#include <cstdio>
#include <string>

#include "foundation/appcore/DateTimeText.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Str.h"

TWL_IMPLEMENT_CLASS(CLog, CTypedObject)

namespace {

CStr FormatV(const char* format, va_list args) {
  va_list sizing;
  va_copy(sizing, args);
  const int length = std::vsnprintf(nullptr, 0, format, sizing);
  va_end(sizing);
  if (length <= 0) return CStr();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  return CStr(text.c_str(), static_cast<size_t>(length));
}

SYSTEMTIME Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now;
}

// The caption under which the log shows a family of thread errors. Only
// these families have one here; DirectDraw to WinMM, as they always had.
CStr LogCaptionOf(DWORD type) {
  switch (type) {
    case THREAD_ERROR_DIRECTDRAW: return LocalText("CDirectDrawError.Caption", "DirectDraw error");
    case THREAD_ERROR_DIRECTSOUND: return LocalText("CDirectSoundError.Caption", "DirectSound error");
    case THREAD_ERROR_STREAM: return LocalText("CStreamError.Caption", "Stream error");
    case THREAD_ERROR_WINMM: return LocalText("WinMMError.Caption", "Window Multimedia error");
    default: return CStr();
  }
}

}  // namespace

void CLog::PrintV(const char* format, va_list args, DWORD severity) {
  const CStr text = FormatV(format, args);
  Write(text, severity);
}

void CLog::Print(DWORD severity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  PrintV(format, args, severity);
  va_end(args);
}

void CLog::WriteDate(DWORD severity) { Write(FormatDate(Now(), true), severity); }

void CLog::WriteTime(DWORD severity) { Write(FormatTime(Now()), severity); }

void CLog::WriteDateAndTime(DWORD severity) { Write(FormatDateAndTime(Now(), true), severity); }

void CLog::WriteError(const CError* error, DWORD severity) {
  if (!error) return;
  Print(severity, "%s\n%s\n", error->GetCaption().c_str(), error->GetText().c_str());
}

void CLog::WriteThreadError(const char* leadingText, DWORD severity) {
  const ThreadErrorState* state = GetThreadErrorState();
  const CStr caption = LogCaptionOf(state->type);
  const CStr message = state->type == THREAD_ERROR_NONE ? LocalText("CLog.NoError", "no error occurred")
                                                        : CStr(state->text);
  const bool lead = leadingText && *leadingText;
  if (lead && !caption.IsEmpty()) {
    Print(severity, "%s\n    %s: %s\n", leadingText, caption.c_str(), message.c_str());
  } else if (lead) {
    Print(severity, "%s\n    %s\n", leadingText, message.c_str());
  } else if (!caption.IsEmpty()) {
    Print(severity, "%s: %s\n", caption.c_str(), message.c_str());
  } else {
    Print(severity, "%s\n", message.c_str());
  }
}

void CLog::WriteReportText(const char* text, DWORD severity) {
  if (!BeginWrite()) return;
  Write(text, severity);
  EndWrite();
}
