// CReportText: a text built in memory set aside beforehand, with
// formatting that allocates nothing and calls nothing unsafe in a signal
// handler, for writing a crash report while the process is dying. Text
// beyond the capacity is cut off; the text stays zero-terminated.
#pragma once

#include <cstddef>
#include <cstdint>

class CReportText {
 public:
  CReportText(char* buffer, size_t capacity);
  CReportText(const CReportText&) = delete;
  CReportText& operator=(const CReportText&) = delete;

  void Clear();
  void Append(const char* text);
  // Lower-case hexadecimal with at least `digits` digits ("%08lx" for 8).
  void AppendHex(uint64_t value, int digits);
  // Signed decimal ("%d").
  void AppendDecimal(int64_t value);
  // Scientific notation with six decimals, as "%e" writes it.
  void AppendScientific(double value);

  const char* GetText() const { return m_Buffer; }
  size_t GetLength() const { return m_Length; }

 private:
  void AppendChar(char c);

  char* m_Buffer;
  size_t m_Capacity;
  size_t m_Length = 0;
};
