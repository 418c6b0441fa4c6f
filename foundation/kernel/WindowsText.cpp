#include "foundation/kernel/WindowsText.h"

#include <windows.h>

#include <memory>
#include <new>

#include "foundation/kernel/Error.h"

std::string AsUtf8(std::string bytes) {
  const int length = static_cast<int>(bytes.size());
  if (length == 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0) > 0)
    return bytes;
  // CP_ACP reads the bytes that are not UTF-8 as Windows-1252.
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::unique_ptr<WCHAR[]> wide(new (std::nothrow) WCHAR[wideLength > 0 ? wideLength : 1]);
  if (!wide) ThrowMemoryError();
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.get(), wideLength);
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.get(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(utf8Length > 0 ? utf8Length : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.get(), wideLength, converted.data(), utf8Length, nullptr, nullptr);
  return converted;
}
