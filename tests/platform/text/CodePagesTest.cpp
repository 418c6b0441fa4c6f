// MultiByteToWideChar / WideCharToMultiByte for UTF-8 and Windows-1252.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// Converts with a size query first, as callers do; the error as a string
// of digits when either call fails.
std::u16string ToWide(UINT codePage, const std::string& text, DWORD flags = 0, DWORD* error = nullptr) {
  int length = static_cast<int>(text.size());
  int needed = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
  if (error) *error = needed ? 0 : GetLastError();
  if (needed == 0) return u"";
  std::u16string wide(needed, u'#');
  int written = MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed);
  EXPECT_EQ(written, needed);
  return wide;
}

std::string ToBytes(UINT codePage, const std::u16string& wide, BOOL* usedDefault = nullptr,
                    const char* defaultChar = nullptr) {
  int length = static_cast<int>(wide.size());
  int needed = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, defaultChar, usedDefault);
  if (needed == 0) return "<error " + std::to_string(GetLastError()) + ">";
  std::string text(needed, '#');
  int written = WideCharToMultiByte(codePage, 0, wide.data(), length, text.data(), needed, defaultChar, usedDefault);
  EXPECT_EQ(written, needed);
  return text;
}

}  // namespace

TEST(CodePages, BytesToWide) {
  struct Row {
    const char* what;
    UINT codePage;
    std::string bytes;
    std::u16string wide;
  };
  const Row rows[] = {
      {"ASCII", CP_UTF8, "Tunewell", u"Tunewell"},
      {"ASCII through CP_ACP", CP_ACP, "abc", u"abc"},
      {"UTF-8 two and three bytes", CP_ACP, "caf\xC3\xA9 \xE2\x82\xAC", u"caf\u00E9 \u20AC"},
      {"four bytes: a surrogate pair", CP_UTF8, "\xF0\x9F\x8E\xB5!", u"\xD83C\xDFB5!"},
      {"invalid byte read as 1252", CP_UTF8, "caf\xE9", u"caf\u00E9"},
      {"1252's own range of 0x80..0x9F", CP_ACP, "\x80\x93x\x94", u"\u20AC\u201Cx\u201D"},
      {"a truncated sequence byte by byte", CP_UTF8, "\xE2\x82", u"\u00E2\u201A"},
      {"an overlong encoding", CP_UTF8, "\xC0\xAF", u"\u00C0\u00AF"},
      {"an encoded surrogate", CP_UTF8, "\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},
      {"code page 1252", CP_1252, "\x80\xE9\xC3\xA9", u"\u20AC\u00E9\u00C3\u00A9"},
      {"1252's unassigned bytes", CP_1252, "\x81\x8D", u"\u0081\u008D"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ToWide(row.codePage, row.bytes), row.wide) << row.what;
  }
}

TEST(CodePages, WideToBytes) {
  struct Row {
    const char* what;
    UINT codePage;
    std::u16string wide;
    std::string bytes;
    BOOL usedDefault;
  };
  const Row rows[] = {
      {"ASCII", CP_UTF8, u"abc", "abc", FALSE},
      {"two and three bytes", CP_ACP, u"caf\u00E9 \u20AC", "caf\xC3\xA9 \xE2\x82\xAC", FALSE},
      {"a surrogate pair", CP_UTF8, u"\xD83C\xDFB5", "\xF0\x9F\x8E\xB5", FALSE},
      {"an unpaired high surrogate", CP_UTF8, std::u16string(u"\xD83Cx"), "\xEF\xBF\xBDx", TRUE},
      {"an unpaired low surrogate", CP_UTF8, std::u16string(u"\xDFB5"), "\xEF\xBF\xBD", TRUE},
      {"1252", CP_1252, u"\u20AC\u00E9\u201C", "\x80\xE9\x93", FALSE},
      {"outside 1252", CP_1252, u"a\u0100b", "a?b", TRUE},
      {"a pair in 1252", CP_1252, u"\xD83C\xDFB5", "??", TRUE},
  };
  for (const Row& row : rows) {
    BOOL usedDefault = 7;
    EXPECT_EQ(ToBytes(row.codePage, row.wide, &usedDefault), row.bytes) << row.what;
    EXPECT_EQ(usedDefault, row.usedDefault) << row.what;
  }
  EXPECT_EQ(ToBytes(CP_1252, u"\u0100", nullptr, "#"), "#");
}

TEST(CodePages, TerminatedTextCountsTheNul) {
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "h\xC3\xA9llo", -1, nullptr, 0), 6);
  WCHAR wide[6];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "h\xC3\xA9llo", -1, wide, 6), 6);
  EXPECT_EQ(std::u16string(wide), u"h\u00E9llo");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 7);
  char bytes[7];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, 7, nullptr, nullptr), 7);
  EXPECT_STREQ(bytes, "h\xC3\xA9llo");
}

TEST(CodePages, TooSmallBuffersFail) {
  WCHAR wide[4];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcde", -1, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  // A surrogate pair does not go in half.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab\xF0\x9F\x8E\xB5", 6, wide, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab\xF0\x9F\x8E\xB5", 6, wide, 4), 4);

  char bytes[4];
  // Nor does a multi-byte character.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"ab\u20AC", 3, bytes, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\u20AC", 2, bytes, 4, nullptr, nullptr), 4);
}

TEST(CodePages, StrictModeRefusesInvalidBytes) {
  DWORD error = 0;
  EXPECT_EQ(ToWide(CP_UTF8, "caf\xE9", MB_ERR_INVALID_CHARS, &error), u"");
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(ToWide(CP_UTF8, "caf\xC3\xA9", MB_ERR_INVALID_CHARS, &error), u"caf\u00E9");
  EXPECT_EQ(error, 0u);
  char bytes[8];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD800", 1, bytes, 8, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePages, BadArguments) {
  WCHAR wide[4];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(437, 0, "abc", 3, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePages, Every1252ByteRoundTrips) {
  for (int byte = 1; byte < 256; ++byte) {
    std::string one(1, static_cast<char>(byte));
    std::u16string wide = ToWide(CP_1252, one);
    ASSERT_EQ(wide.size(), 1u) << byte;
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToBytes(CP_1252, wide, &usedDefault), one) << byte;
    EXPECT_FALSE(usedDefault) << byte;
  }
}
