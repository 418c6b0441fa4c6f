#include "foundation/errors/WindowsError.h"

#include <algorithm>
#include <iterator>

#include "foundation/errors/LocalText.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CWindowsError, CError)

namespace {

struct WindowsErrorRow {
  DWORD code;
  const char* text;
};

#define TWL_WIN32_TEXT(code, text) {code, text " " #code},
constexpr WindowsErrorRow kRows[] = {
#include "foundation/errors/WindowsErrorTexts.inc"
};
#undef TWL_WIN32_TEXT

constexpr bool RowsAscend() {
  for (size_t i = 1; i < std::size(kRows); ++i)
    if (kRows[i - 1].code >= kRows[i].code) return false;
  return true;
}
static_assert(RowsAscend(), "the lookup is a binary search: rows must ascend by code");

constexpr const char* kUnknownText = "An unknown error occurred.";

}  // namespace

CWindowsError::CWindowsError() = default;

// The code is read before the texts are fetched, and put back afterwards,
// so that looking the texts up can neither change nor lose it.
CWindowsError::CWindowsError(const char* captionKey, const char* captionDefault, const char* textKey,
                             const char* textDefault)
    : CWindowsError(GetLastError(), captionKey, captionDefault, textKey, textDefault) {}

CWindowsError::CWindowsError(DWORD code, const char* captionKey, const char* captionDefault, const char* textKey,
                             const char* textDefault)
    : CError(LocalText(captionKey, captionDefault), LocalText(textKey, textDefault)), m_Code(code) {
  SetLastError(code);
}

const char* CWindowsError::GetErrorText(DWORD code) {
  const auto* row = std::lower_bound(std::begin(kRows), std::end(kRows), code,
                                     [](const WindowsErrorRow& r, DWORD c) { return r.code < c; });
  if (row == std::end(kRows) || row->code != code) return kUnknownText;
  return row->text;
}
