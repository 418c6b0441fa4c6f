#include "foundation/appcore/WindowRect.h"

#include <cstdint>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"

namespace {

constexpr DWORD kStoredSize = 16;

// Beyond what any screen has; also keeps left + width within 32 bits.
constexpr int32_t kMaxCoordinate = 32767;
constexpr int32_t kMinCoordinate = -32768;

int32_t ReadInt32(const BYTE* bytes) {
  const uint32_t value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  return static_cast<int32_t>(value);
}

void WriteInt32(BYTE* bytes, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(bits >> (8 * i));
}

bool IsPlausible(int32_t left, int32_t top, int32_t width, int32_t height) {
  auto inRange = [](int32_t value, int32_t low) { return value >= low && value <= kMaxCoordinate; };
  return inRange(left, kMinCoordinate) && inRange(top, kMinCoordinate) && inRange(width, 0) && inRange(height, 0);
}

}  // namespace

CStr WindowRectValueName(const char* windowName) { return CStr::Format("%s_WindowRect", windowName); }

bool ReadWindowRect(const char* valueName, RECT* rect, bool* found) {
  *found = false;
  *rect = RECT{0, 0, 0, 0};
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return false;
  BYTE stored[kStoredSize];
  const bool read = GetRegistryBinary(key, valueName, stored, kStoredSize);
  RegCloseKey(key);
  if (!read) return true;
  const int32_t left = ReadInt32(stored);
  const int32_t top = ReadInt32(stored + 4);
  const int32_t width = ReadInt32(stored + 8);
  const int32_t height = ReadInt32(stored + 12);
  if (!IsPlausible(left, top, width, height)) return true;
  *rect = RECT{left, top, left + width, top + height};
  *found = true;
  return true;
}

bool LoadWindowRectOrDefault(const char* valueName, RECT* rect, int width, int height, HWND reference, int dx,
                             int dy) {
  bool found = false;
  const bool keyRead = ReadWindowRect(valueName, rect, &found);
  if (found) return keyRead;
  RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (reference) GetWindowRect(reference, &around);
  int left = around.left + ((around.right - around.left - width) >> 1);
  int top = around.top + ((around.bottom - around.top - height) >> 1);
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  left += dx;
  top += dy;
  *rect = RECT{left, top, left + width, top + height};
  return keyRead;
}

void KeepRectOnScreen(RECT* rect) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (rect->left >= screenWidth - 10 || rect->right <= 10) {
    rect->right -= rect->left;
    rect->left = 0;
  }
  if (rect->top >= screenHeight - 10 || rect->bottom <= 10) {
    rect->bottom -= rect->top;
    rect->top = 0;
  }
}

bool SaveWindowRect(const char* valueName, const RECT* rect) {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE, &key)) return false;
  BYTE stored[kStoredSize];
  WriteInt32(stored, rect->left);
  WriteInt32(stored + 4, rect->top);
  WriteInt32(stored + 8, rect->right - rect->left);
  WriteInt32(stored + 12, rect->bottom - rect->top);
  const bool written = SetRegistryBinary(key, valueName, stored, kStoredSize);
  RegCloseKey(key);
  return written;
}
