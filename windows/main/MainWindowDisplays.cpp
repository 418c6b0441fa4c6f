#include "windows/main/MainWindowDisplays.h"

#include <cstdio>
#include <utility>

#include "foundation/appcore/ProductName.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace maindisplay {

namespace {

struct TimeParts {
  DWORD hours, minutes, seconds;
};

TimeParts SplitTime(DWORD positionMs) {
  return TimeParts{(positionMs / 3600000) % 100, (positionMs / 60000) % 60, (positionMs / 1000) % 60};
}

// The two numbers a time display shows: minutes and seconds below an hour.
std::pair<DWORD, DWORD> ShownPair(DWORD positionMs) {
  const TimeParts parts = SplitTime(positionMs);
  if (parts.hours != 0) return {parts.hours, parts.minutes};
  return {parts.minutes, parts.seconds};
}

std::string Trimmed(const std::string& text) {
  const char* space = " \t\r\n";
  const size_t first = text.find_first_not_of(space);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

CStr WithValue(const char* key, const char* defaultText, const CStr& value) {
  return ReplacePlaceholder(LocalText(key, defaultText), {"%VALUE%", value});
}

}  // namespace

std::string SingleTimeText(DWORD positionMs) {
  const auto [first, second] = ShownPair(positionMs);
  char text[32];
  std::snprintf(text, sizeof text, "%02lu:%02lu", static_cast<unsigned long>(first),
                static_cast<unsigned long>(second));
  return text;
}

std::array<char, 5> FiveTimeChars(DWORD positionMs) {
  const auto [first, second] = ShownPair(positionMs);
  return {static_cast<char>('0' + first / 10), static_cast<char>('0' + first % 10), ':',
          static_cast<char>('0' + second / 10), static_cast<char>('0' + second % 10)};
}

CStr BytesReadText(ULONGLONG bytes) {
  if (bytes == kNoStream) return CStr();
  const auto value = static_cast<LONGLONG>(bytes);
  auto scaled = [value](double unit) { return CStr::Format("%.02f", static_cast<double>(value) / unit); };
  if (value < 1000) return WithValue("CMainWindow.BytesRead.Bytes", "%VALUE% bytes read", CStr::Format("%lld", static_cast<long long>(value)));
  if (value < 1024000) return WithValue("CMainWindow.BytesRead.KB", "%VALUE% KB read", scaled(1024.0));
  if (value < 1048576000) return WithValue("CMainWindow.BytesRead.MB", "%VALUE% MB read", scaled(1048576.0));
  if ((bytes >> 32) < 250) return WithValue("CMainWindow.BytesRead.GB", "%VALUE% GB read", scaled(1073741824.0));
  return WithValue("CMainWindow.BytesRead.TB", "%VALUE% TB read", scaled(1099511627776.0));
}

CStr CaptionText(const CStr& bytesRead) {
  if (bytesRead.IsEmpty()) return CStr(kProductName);
  return CStr::Format("%s - %s", kProductName, bytesRead.c_str());
}

int ProgressBarValue(DWORD positionMs, DWORD lengthMs, int range) {
  if (positionMs == 0 || range <= 0) return 0;
  if (lengthMs < positionMs) lengthMs = positionMs;
  return static_cast<int>(static_cast<double>(positionMs) / static_cast<double>(lengthMs) * range);
}

CStr ProgressTooltipText(DWORD positionMs, DWORD lengthMs) {
  if (positionMs > lengthMs)
    return LocalText("CMainWindow.ToolTips.PlaybackProgressUnknown", "Playback progress: Unknown");
  const ULONGLONG percent = lengthMs == 0 ? 0 : static_cast<ULONGLONG>(positionMs) * 100 / lengthMs;
  return ReplacePlaceholder(LocalText("CMainWindow.ToolTips.PlaybackProgress", "Playback progress: %PROGRESS% %"),
                            {"%PROGRESS%", CStr::Format("%d", static_cast<int>(percent))});
}

int VolumeBarValue(int volume, int range) { return (volume * range) >> 8; }

CStr VolumeTooltipText(int volume) {
  return ReplacePlaceholder(LocalText("CMainWindow.ToolTips.Volume", "Volume: %VOLUME% %"),
                            {"%VOLUME%", CStr::Format("%d", (volume * 100) >> 8)});
}

DWORD SeekTarget(int barValue, DWORD lengthMs, int range) {
  if (barValue <= 0 || range <= 0) return 0;
  return static_cast<DWORD>(static_cast<ULONGLONG>(barValue) * lengthMs / static_cast<ULONGLONG>(range));
}

int VolumeFromBar(int barValue, int range) {
  if (barValue <= 0 || range <= 0) return 0;
  return static_cast<int>(static_cast<LONGLONG>(barValue) * 256 / range);
}

std::string EntryTitle(int entryNumber, const std::string& name, const std::string& title, bool durationKnown,
                       DWORD durationMs) {
  std::string text = "(";
  text += std::to_string(entryNumber + 1);
  text += ") ";
  text += name;
  const std::string trimmed = Trimmed(title);
  if (!trimmed.empty()) {
    text += " - ";
    text += trimmed;
  }
  if (!durationKnown) return text;
  const TimeParts parts = SplitTime(durationMs);
  char duration[32];
  if (parts.hours != 0)
    std::snprintf(duration, sizeof duration, " [%02u:%02u:%02u]", static_cast<unsigned>(parts.hours),
                  static_cast<unsigned>(parts.minutes), static_cast<unsigned>(parts.seconds));
  else
    std::snprintf(duration, sizeof duration, " [%02u:%02u]", static_cast<unsigned>(parts.minutes),
                  static_cast<unsigned>(parts.seconds));
  return text + duration;
}

}  // namespace maindisplay
