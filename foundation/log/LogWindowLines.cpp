// The log window's lines: an entry's text is cut at its line breaks into
// pieces that fill the full log line by line, and error lines collect in
// the last-error list, which shows the latest burst of errors: error lines
// less than a second apart stay together, a later one (or one after any
// other line) starts the list anew.
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/log/Log.h"
#include "foundation/log/LogWindowFrame.h"

namespace {

constexpr DWORD kBurstMilliseconds = 1000;
constexpr int kColumnPadding = 20;
constexpr int kNarrowColumn = 10;
// Column widths travel as 16-bit signed numbers.
constexpr int kWidestColumn = 32767;
// Value of a line that has no text yet.
constexpr LPARAM kNewLineValue = 1;

int ItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

void AddEmptyItem(HWND list, int index, LPARAM value) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<char*>("");
  item.lParam = value;
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetItem(HWND list, int index, const CStr& text, LPARAM value) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<char*>(text.c_str());
  item.lParam = value;
  SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

LogWindowEntry* MakeLogWindowEntry(const char* text, DWORD severity) {
  const size_t length = text ? std::strlen(text) : 0;
  void* block = std::malloc(sizeof(LogWindowEntry) + length + 1);
  if (!block) return nullptr;
  char* copy = static_cast<char*>(block) + sizeof(LogWindowEntry);
  if (length > 0) std::memcpy(copy, text, length);
  copy[length] = '\0';
  return new (block) LogWindowEntry{severity, copy};
}

void FreeLogWindowEntry(LogWindowEntry* entry) { std::free(entry); }

void CLogWindowFrame::AddText(const char* text, DWORD severity) {
  if (!text) text = "";
  const char* piece = text;
  for (const char* p = text; *p; ++p) {
    if (*p != '\r' && *p != '\n') continue;
    AppendPiece(piece, static_cast<size_t>(p - piece), severity);
    StartLine();
    if (p[0] == '\r' && p[1] == '\n') ++p;
    piece = p + 1;
  }
  if (*piece) AppendPiece(piece, std::strlen(piece), severity);
}

void CLogWindowFrame::AppendPiece(const char* piece, size_t length, DWORD severity) {
  if (m_FullLogItems <= 0) return;
  m_CurrentLine.Append(piece, length);
  if (severity > m_CurrentSeverity) m_CurrentSeverity = severity;
  SetItem(m_FullLog, m_FullLogItems - 1, m_CurrentLine, static_cast<LPARAM>(m_CurrentSeverity));
  WidenColumn(m_FullLog, m_CurrentLine, m_FullLogColumnWidth);

  if (m_CurrentSeverity != LOG_SEVERITY_ERROR) {
    m_NewErrorBlock = true;
    return;
  }
  const DWORD now = timeGetTime();
  if (now - m_LastErrorTime >= kBurstMilliseconds) m_NewErrorBlock = true;
  if (m_LastErrorItems > 0 && m_NewErrorBlock) {
    SendMessageA(m_LastErrors, LVM_DELETEALLITEMS, 0, 0);
    m_LastErrorItems = 0;
    m_LastErrorColumnWidth = kNarrowColumn;
    SendMessageA(m_LastErrors, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(kNarrowColumn, 0));
  }
  if (m_LastErrorItems == 0) {
    AddEmptyItem(m_LastErrors, 0, 0);
    m_LastErrorItems = ItemCount(m_LastErrors);
  }
  SetItem(m_LastErrors, m_LastErrorItems - 1, m_CurrentLine, static_cast<LPARAM>(m_CurrentSeverity));
  m_NewErrorBlock = false;
  m_LastErrorLine = m_CurrentLine;
  m_LastErrorTime = now;
  WidenColumn(m_LastErrors, m_CurrentLine, m_LastErrorColumnWidth);
}

void CLogWindowFrame::StartLine() {
  AddEmptyItem(m_FullLog, m_FullLogItems, kNewLineValue);
  m_FullLogItems = ItemCount(m_FullLog);
  m_CurrentLine = CStr();
  m_CurrentSeverity = LOG_SEVERITY_INFORMATION;
  if (m_LastErrorItems > 0 && !m_LastErrorLine.IsEmpty()) {
    AddEmptyItem(m_LastErrors, m_LastErrorItems, 0);
    m_LastErrorItems = ItemCount(m_LastErrors);
  }
  m_LastErrorLine = CStr();
  SendMessageA(m_FullLog, LVM_ENSUREVISIBLE, static_cast<WPARAM>(m_FullLogItems - 1), FALSE);
}

void CLogWindowFrame::WidenColumn(HWND list, const CStr& text, int& columnWidth) {
  const int needed =
      static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str()))) +
      kColumnPadding;
  if (needed <= columnWidth) return;
  columnWidth = needed < kWidestColumn ? needed : kWidestColumn;
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(columnWidth, 0));
}
