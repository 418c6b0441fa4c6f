#include "foundation/bitmapfiles/LZWDecoder.h"

#include <algorithm>
#include <new>

#include "foundation/bitmapfiles/LZWError.h"
#include "foundation/kernel/MemoryError.h"

namespace {

DWORD BitLength(DWORD value) {
  DWORD bits = 1;
  while (bits < 32 && (value >> bits) != 0) ++bits;
  return bits;
}

template <class T>
std::unique_ptr<T[]> AllocateTable(DWORD count) {
  T* table = new (std::nothrow) T[count];
  if (!table) ThrowMemoryError();
  return std::unique_ptr<T[]>(table);
}

}  // namespace

void CLZWDecoder::Free() noexcept {
  m_Table.reset();
  m_Lengths.reset();
  m_FirstSymbols.reset();
  m_EntryCount = m_Capacity = 0;
}

void CLZWDecoder::Init(DWORD maxCodeWidth, DWORD largestLiteral, INT initialCodeWidth) {
  Free();
  const DWORD symbolWidth = BitLength(largestLiteral);
  DWORD codeWidth = static_cast<DWORD>(initialCodeWidth);
  if (initialCodeWidth <= 0) {
    codeWidth = std::max<DWORD>(symbolWidth, 2);
    // The clear and end codes follow the literals.
    if (static_cast<uint64_t>(largestLiteral) + 2 >= (uint64_t{1} << codeWidth) + 1) ++codeWidth;
  }
  if (maxCodeWidth > kMaxCodeWidth || symbolWidth > kMaxSymbolWidth || codeWidth > maxCodeWidth ||
      static_cast<uint64_t>(largestLiteral) + 3 > (uint64_t{1} << maxCodeWidth))
    ThrowError<CLZWError>(CLZWError::kCodeTooBig);

  m_MaxCodeWidth = maxCodeWidth;
  m_SymbolWidth = symbolWidth;
  m_SymbolMask = (1u << symbolWidth) - 1;
  m_SymbolUpperMask = ~m_SymbolMask;
  m_InitialCodeWidth = codeWidth;
  m_ClearCode = largestLiteral + 1;
  m_EndCode = largestLiteral + 2;
  m_InitialEntryCount = largestLiteral + 3;
  m_Capacity = 1u << maxCodeWidth;
  m_Table = AllocateTable<DWORD>(m_Capacity);
  m_Lengths = AllocateTable<DWORD>(m_Capacity);
  m_FirstSymbols = AllocateTable<WORD>(m_Capacity);
  for (DWORD i = 0; i < m_InitialEntryCount; ++i) {
    m_Table[i] = i;
    m_Lengths[i] = 1;
    m_FirstSymbols[i] = static_cast<WORD>(i & m_SymbolMask);
  }
  m_Ended = false;
  m_SymbolsWritten = 0;
  m_Input = CBitFieldCursor();
  Restart();
}

void CLZWDecoder::Restart() {
  m_EntryCount = m_InitialEntryCount;
  m_CodeWidth = m_InitialCodeWidth;
  m_HighestCode = (1u << m_CodeWidth) - 1;
  m_PreviousCode = -1;
  m_Input.SetWidth(m_CodeWidth);
}

void CLZWDecoder::SetOutput(BYTE* buffer, uint64_t capacity, DWORD fieldWidth, DWORD valueMask) {
  m_Output = buffer;
  m_OutputCapacity = buffer ? capacity : 0;
  m_OutputPosition = 0;
  m_OutputWidth = std::clamp<DWORD>(fieldWidth ? fieldWidth : m_SymbolWidth, 1, 8);
  m_OutputMask = valueMask & ((1u << m_OutputWidth) - 1);
}

void CLZWDecoder::AddEntry(DWORD prefixCode, DWORD symbol) {
  if (m_EntryCount == m_Capacity) return;
  m_Table[m_EntryCount] = ((prefixCode + 1) << m_SymbolWidth) | symbol;
  m_Lengths[m_EntryCount] = m_Lengths[prefixCode] + 1;
  m_FirstSymbols[m_EntryCount] = m_FirstSymbols[prefixCode];
  ++m_EntryCount;
  if (m_EntryCount > m_HighestCode && m_CodeWidth < m_MaxCodeWidth) {
    ++m_CodeWidth;
    m_HighestCode = 2 * m_HighestCode + 1;
    m_Input.SetWidth(m_CodeWidth);
  }
}

// The string of a code ends with the code's own symbol and goes on with
// its prefix's: it is written from its last position backwards. Only the
// part inside the output buffer is written.
void CLZWDecoder::OutputString(DWORD code) {
  const uint64_t start = m_OutputPosition;
  const DWORD length = m_Lengths[code];
  m_OutputPosition += length;
  if (start >= m_OutputCapacity) return;
  const DWORD fit = static_cast<DWORD>(std::min<uint64_t>(length, m_OutputCapacity - start));
  DWORD entry = m_Table[code];
  for (DWORD skipped = length; skipped > fit; --skipped) entry = m_Table[(entry >> m_SymbolWidth) - 1];

  if (m_OutputWidth == 8) {
    BYTE* out = m_Output + start;
    const BYTE mask = static_cast<BYTE>(m_OutputMask & m_SymbolMask);
    for (DWORD i = fit - 1; i > 0; --i) {
      out[i] = static_cast<BYTE>(entry) & mask;
      entry = m_Table[(entry >> m_SymbolWidth) - 1];
    }
    out[0] = static_cast<BYTE>(entry) & mask;
  } else {
    CBitFieldCursor out;
    for (DWORD i = fit; i-- > 0;) {
      out.Setup(m_Output, m_OutputWidth, start + i);
      out.Write(entry & m_SymbolMask & m_OutputMask);
      if (i) entry = m_Table[(entry >> m_SymbolWidth) - 1];
    }
  }
  m_SymbolsWritten += fit;
}

DWORD CLZWDecoder::Decode(DWORD available) {
  m_SymbolsWritten = 0;
  if (m_Ended || !m_Table) {
    // Whatever follows the end code is not image data.
    m_Input.byteOffset = available;
    m_Input.bitOffset = 0;
    return 0;
  }
  for (;;) {
    if (m_Input.byteOffset + m_Input.BytesOfNextField() > available) return m_SymbolsWritten;
    const DWORD code = m_Input.Read();
    if (code == m_EndCode) {
      // The rest of the input is used up, so that no caller carries it
      // over in front of the next piece.
      m_Ended = true;
      m_Input.byteOffset = available;
      m_Input.bitOffset = 0;
      return m_SymbolsWritten;
    }
    if (code == m_ClearCode) {
      Restart();
      continue;
    }
    if (code < m_EntryCount) {
      OutputString(code);
      if (m_PreviousCode >= 0) AddEntry(static_cast<DWORD>(m_PreviousCode), m_FirstSymbols[code]);
    } else if (code == m_EntryCount && m_PreviousCode >= 0) {
      // The string being defined: the previous one and its own first symbol.
      const DWORD previous = static_cast<DWORD>(m_PreviousCode);
      AddEntry(previous, m_FirstSymbols[previous]);
      OutputString(code);
    } else {
      ThrowError<CLZWError>(CLZWError::kCodeTooBig);
    }
    m_PreviousCode = static_cast<INT>(code);
  }
}
