#include "foundation/bitmapfiles/LZWDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/bitmapfiles/LZWError.h"
#include "foundation/kernel/MemoryError.h"

namespace {

constexpr uint64_t kNowhere = ~uint64_t{0};
// Shorter strings are copied in a plain loop: cheaper than a call.
constexpr DWORD kLongString = 32;

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
  m_Written.reset();
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
      maxCodeWidth + 1 + symbolWidth > 32 ||
      static_cast<uint64_t>(largestLiteral) + 3 > (uint64_t{1} << maxCodeWidth))
    ThrowError<CLZWError>(CLZWError::kCodeTooBig);

  m_MaxCodeWidth = maxCodeWidth;
  m_SymbolWidth = symbolWidth;
  m_SymbolMask = (1u << symbolWidth) - 1;
  m_InitialCodeWidth = codeWidth;
  m_ClearCode = largestLiteral + 1;
  m_EndCode = largestLiteral + 2;
  m_InitialEntryCount = largestLiteral + 3;
  m_Capacity = 1u << maxCodeWidth;
  m_Table = AllocateTable<DWORD>(m_Capacity);
  m_Lengths = AllocateTable<DWORD>(m_Capacity);
  m_FirstSymbols = AllocateTable<WORD>(m_Capacity);
  m_Written = AllocateTable<uint64_t>(m_Capacity);
  std::fill(m_Written.get(), m_Written.get() + m_Capacity, kNowhere);
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
  if (m_Written) std::fill(m_Written.get(), m_Written.get() + m_Capacity, kNowhere);
}

// The decoder's moving parts, held in locals while a piece of input is
// decoded and written back afterwards: the output is written through byte
// pointers, which would otherwise make the compiler reload every member
// after each store.
struct CLZWDecoder::Work {
  CLZWDecoder& decoder;
  CBitFieldCursor input;
  DWORD* const table;
  DWORD* const lengths;
  WORD* const firstSymbols;
  uint64_t* const written;
  BYTE* const bytes;  // byte-wide output
  const uint64_t capacity;
  const DWORD symbolWidth;
  const DWORD valueMask;  // symbol mask and output mask together
  const DWORD tableCapacity;
  const DWORD maxCodeWidth;
  DWORD entryCount;
  DWORD codeWidth;
  DWORD highestCode;
  INT previousCode;
  uint64_t previousStart;
  uint64_t position;
  const uint64_t firstPosition;

  explicit Work(CLZWDecoder& d)
      : decoder(d),
        input(d.m_Input),
        table(d.m_Table.get()),
        lengths(d.m_Lengths.get()),
        firstSymbols(d.m_FirstSymbols.get()),
        written(d.m_Written.get()),
        bytes(d.m_OutputWidth == 8 ? d.m_Output : nullptr),
        capacity(d.m_OutputCapacity),
        symbolWidth(d.m_SymbolWidth),
        valueMask(d.m_SymbolMask & d.m_OutputMask),
        tableCapacity(d.m_Capacity),
        maxCodeWidth(d.m_MaxCodeWidth),
        entryCount(d.m_EntryCount),
        codeWidth(d.m_CodeWidth),
        highestCode(d.m_HighestCode),
        previousCode(d.m_PreviousCode),
        previousStart(d.m_PreviousStart),
        position(d.m_OutputPosition),
        firstPosition(d.m_OutputPosition) {}

  void Save() {
    decoder.m_Input = input;
    decoder.m_EntryCount = entryCount;
    decoder.m_CodeWidth = codeWidth;
    decoder.m_HighestCode = highestCode;
    decoder.m_PreviousCode = previousCode;
    decoder.m_PreviousStart = previousStart;
    decoder.m_OutputPosition = position;
    decoder.m_SymbolsWritten =
        static_cast<DWORD>(std::min(position, capacity) - std::min(firstPosition, capacity));
  }

  DWORD Prefix(DWORD entry) const { return (entry >> symbolWidth) - 1; }

  // Once the table is full nothing is added; the width grows with the
  // entries up to the maximum.
  void AddEntry(DWORD prefixCode, DWORD symbol) {
    if (entryCount == tableCapacity) return;
    table[entryCount] = ((prefixCode + 1) << symbolWidth) | symbol;
    lengths[entryCount] = lengths[prefixCode] + 1;
    firstSymbols[entryCount] = firstSymbols[prefixCode];
    // The new string is the previous one followed by the first symbol
    // written after it, when both lie inside a byte-wide output.
    const bool copyable = bytes && previousStart + lengths[prefixCode] < capacity;
    written[entryCount] = copyable ? previousStart : kNowhere;
    ++entryCount;
    if (entryCount > highestCode && codeWidth < maxCodeWidth) {
      ++codeWidth;
      highestCode = 2 * highestCode + 1;
      input.SetWidth(codeWidth);
    }
  }

  // A string is copied from where it was written before when it was
  // written there in full; otherwise it is built from the table, last
  // symbol first. Only its part inside the output is written.
  void OutputString(DWORD code) {
    const uint64_t start = position;
    const DWORD length = lengths[code];
    position += length;
    if (bytes && start + length <= capacity) {
      BYTE* out = bytes + start;
      if (length == 1) {
        *out = static_cast<BYTE>(code & valueMask);  // a literal
      } else if (written[code] != kNowhere) {
        // Forward, byte by byte where source and target overlap: the
        // string of an entry made from the code just before it ends with
        // its own first symbol.
        const BYTE* from = bytes + written[code];
        if (length >= kLongString && start - written[code] >= length) {
          std::memcpy(out, from, length);
        } else {
          for (DWORD i = 0; i < length; ++i) out[i] = from[i];
        }
      } else {
        WalkBytes(code, out, length);
      }
      written[code] = start;
      return;
    }
    if (start >= capacity) return;
    const DWORD fit = static_cast<DWORD>(std::min<uint64_t>(length, capacity - start));
    if (bytes) {
      DWORD entry = table[code];
      for (DWORD skipped = length; skipped > fit; --skipped) entry = table[Prefix(entry)];
      WalkBytes(entry, bytes + start, fit, true);
    } else {
      WriteFields(code, start, fit);
    }
  }

  // The last `count` symbols of a code's string (or of the string ending
  // with `entry` when fromEntry), last first.
  void WalkBytes(DWORD codeOrEntry, BYTE* out, DWORD count, bool fromEntry = false) {
    DWORD entry = fromEntry ? codeOrEntry : table[codeOrEntry];
    for (DWORD i = count - 1; i > 0; --i) {
      out[i] = static_cast<BYTE>(entry & valueMask);
      entry = table[Prefix(entry)];
    }
    out[0] = static_cast<BYTE>(entry & valueMask);
  }

  // Narrow fields: the string is built backwards in a scratch buffer, in
  // parts when it is long (the last part first), and written forwards.
  void WriteFields(DWORD code, uint64_t start, DWORD fit) {
    DWORD scratch[kMaxStringOnStack];
    DWORD entry = table[code];
    for (DWORD skipped = lengths[code]; skipped > fit; --skipped) entry = table[Prefix(entry)];
    for (DWORD done = 0; done < fit;) {
      const DWORD part = std::min(fit - done, kMaxStringOnStack);
      for (DWORD i = part; i-- > 0;) {
        scratch[i] = entry & valueMask;
        if (i || done + part < fit) entry = table[Prefix(entry)];
      }
      CBitFieldCursor out;
      out.Setup(decoder.m_Output, decoder.m_OutputWidth, start + (fit - done - part));
      for (DWORD i = 0; i < part; ++i) out.Write(scratch[i]);
      done += part;
    }
  }
};

DWORD CLZWDecoder::Decode(DWORD available) {
  m_SymbolsWritten = 0;
  if (m_Ended || !m_Table) {
    // Whatever follows the end code is not image data.
    m_Input.byteOffset = available;
    m_Input.bitOffset = 0;
    return 0;
  }
  Work work(*this);
  CBitFieldCursor& input = work.input;
  const BYTE* const in = input.buffer;
  for (;;) {
    // Codes are at most 16 bits wide, so a code touches at most 3 bytes:
    // while 3 are left they are read at once.
    DWORD code;
    if (input.byteOffset + 3 <= available) {
      const BYTE* p = in + input.byteOffset;
      const DWORD value = p[0] | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16;
      code = (value >> input.bitOffset) & input.mask;
      input.Advance();
    } else if (input.byteOffset + input.BytesOfNextField() <= available) {
      code = input.Read();
    } else {
      break;
    }
    if (code == m_EndCode) {
      // The rest of the input is used up, so that no caller carries it
      // over in front of the next piece.
      m_Ended = true;
      input.byteOffset = available;
      input.bitOffset = 0;
      break;
    }
    if (code == m_ClearCode) {
      work.entryCount = m_InitialEntryCount;
      work.codeWidth = m_InitialCodeWidth;
      work.highestCode = (1u << m_InitialCodeWidth) - 1;
      work.previousCode = -1;
      input.SetWidth(m_InitialCodeWidth);
      continue;
    }
    const uint64_t start = work.position;
    if (code < work.entryCount) {
      work.OutputString(code);
      if (work.previousCode >= 0) work.AddEntry(static_cast<DWORD>(work.previousCode), work.firstSymbols[code]);
    } else if (code == work.entryCount && work.previousCode >= 0) {
      // The string being defined: the previous one and its own first symbol.
      const DWORD previous = static_cast<DWORD>(work.previousCode);
      work.AddEntry(previous, work.firstSymbols[previous]);
      work.OutputString(code);
    } else {
      work.Save();
      ThrowError<CLZWError>(CLZWError::kCodeTooBig);
    }
    work.previousCode = static_cast<INT>(code);
    work.previousStart = start;
  }
  work.Save();
  return m_SymbolsWritten;
}
