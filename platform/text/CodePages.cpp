// MultiByteToWideChar and WideCharToMultiByte for UTF-8 (also the system
// code page, CP_ACP) and Windows-1252. Bytes that are not valid UTF-8 are
// read as Windows-1252, the code page of text files made on Windows.
#include <cstring>
#include <string>

#include "twlwin/errors.h"
#include "twlwin/text.h"

namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the C1
// control of the same value, as Windows does.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t From1252(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHigh1252[byte - 0x80] : byte; }

// The 1252 byte for a UTF-16 unit, or -1 when the code page has none.
int To1252(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i) {
    if (kHigh1252[i] == unit) return 0x80 + i;
  }
  return -1;
}

bool IsUtf8(UINT codePage) { return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_UTF8; }

// Decodes one UTF-8 character at `text[i]`; returns its length, or 0 when
// the bytes there are not a valid (shortest, non-surrogate) encoding.
int DecodeUtf8(const unsigned char* text, size_t length, size_t i, char32_t& code) {
  unsigned char lead = text[i];
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  int extra = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) extra = 1, minimum = 0x80, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) extra = 2, minimum = 0x800, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) extra = 3, minimum = 0x10000, code = lead & 0x07;
  else return 0;
  if (i + extra >= length) return 0;  // cut short by the end of the text
  for (int k = 1; k <= extra; ++k) {
    unsigned char next = text[i + k];
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return extra + 1;
}

// Collects output units, counting them only when no buffer is given.
template <class Unit>
class Output {
 public:
  Output(Unit* buffer, int capacity) : buffer_(buffer), capacity_(capacity) {}
  bool Put(Unit unit) {
    if (capacity_ > 0) {
      if (count_ >= capacity_) return false;
      buffer_[count_] = unit;
    }
    ++count_;
    return true;
  }
  int Count() const { return count_; }

 private:
  Unit* buffer_;
  int capacity_;
  int count_ = 0;
};

int Fail(DWORD code) {
  SetLastError(code);
  return 0;
}

}  // namespace

TWLAPI int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide,
                               int wideLength) {
  if (!text || textLength == 0 || textLength < -1 || wideLength < 0 || (wideLength > 0 && !wide)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (!IsUtf8(codePage) && codePage != CP_1252) return Fail(ERROR_INVALID_PARAMETER);
  const size_t length = textLength == -1 ? std::strlen(text) + 1 : static_cast<size_t>(textLength);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  Output<WCHAR> out(wide, wideLength);
  for (size_t i = 0; i < length;) {
    char32_t code = 0;
    int used = IsUtf8(codePage) ? DecodeUtf8(bytes, length, i, code) : 0;
    if (used == 0) {
      if (IsUtf8(codePage) && (flags & MB_ERR_INVALID_CHARS)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      code = From1252(bytes[i]);
      used = 1;
    }
    i += used;
    if (code >= 0x10000) {
      // A surrogate pair goes in whole or not at all.
      if (wideLength > 0 && out.Count() + 2 > wideLength) return Fail(ERROR_INSUFFICIENT_BUFFER);
      code -= 0x10000;
      out.Put(static_cast<WCHAR>(0xD800 + (code >> 10)));
      out.Put(static_cast<WCHAR>(0xDC00 + (code & 0x3FF)));
    } else if (!out.Put(static_cast<WCHAR>(code))) {
      return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
  }
  return out.Count();
}

TWLAPI int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text, int textLength,
                               LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (usedDefaultChar) *usedDefaultChar = FALSE;
  if (!wide || wideLength == 0 || wideLength < -1 || textLength < 0 || (textLength > 0 && !text)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (!IsUtf8(codePage) && codePage != CP_1252) return Fail(ERROR_INVALID_PARAMETER);
  size_t length = static_cast<size_t>(wideLength);
  if (wideLength == -1) {
    length = 0;
    while (wide[length]) ++length;
    ++length;
  }
  Output<char> out(text, textLength);
  auto put = [&](const char* bytes, int count) {
    if (textLength > 0 && out.Count() + count > textLength) return false;  // a character goes in whole
    for (int k = 0; k < count; ++k) out.Put(bytes[k]);
    return true;
  };
  const std::string fallback = defaultChar && *defaultChar ? std::string(1, *defaultChar) : "?";
  for (size_t i = 0; i < length; ++i) {
    char16_t unit = wide[i];
    char32_t code = unit;
    bool unpaired = false;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      unpaired = true;
    }
    if (!IsUtf8(codePage)) {
      int byte = unpaired ? -1 : To1252(unit);
      bool ok = true;
      if (byte >= 0) {
        char single = static_cast<char>(byte);
        ok = put(&single, 1);
      } else {
        if (usedDefaultChar) *usedDefaultChar = TRUE;
        ok = put(fallback.data(), 1);
      }
      if (!ok) return Fail(ERROR_INSUFFICIENT_BUFFER);
      continue;  // a pair becomes two default characters, one per unit
    }
    if (unpaired) {
      if (flags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      if (usedDefaultChar) *usedDefaultChar = TRUE;
      code = 0xFFFD;
    }
    if (code >= 0x10000) ++i;  // the low surrogate is consumed
    char bytes[4];
    int count = 0;
    if (code < 0x80) {
      bytes[count++] = static_cast<char>(code);
    } else if (code < 0x800) {
      bytes[count++] = static_cast<char>(0xC0 | (code >> 6));
      bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      bytes[count++] = static_cast<char>(0xE0 | (code >> 12));
      bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
      bytes[count++] = static_cast<char>(0xF0 | (code >> 18));
      bytes[count++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    if (!put(bytes, count)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  return out.Count();
}
