// CLZWDecoder: the variable-width LZW decoder of GIF image data. Codes are
// read with a bit-field cursor from input the caller hands over piece by
// piece; decoded symbols (pixel indices) go to an output buffer of fields.
//
// Each table entry is ((prefix code + 1) << symbol width) | last symbol,
// a root entry having prefix part 0. The decoder also keeps each entry's
// length and first symbol, so that a string is written straight to its
// place, last symbol first, and so that codes whose output falls beyond
// the buffer cost nothing. With byte-wide output it also keeps where each
// string was last written, and copies it from there.
//
// Use: Init, SetOutput; then per piece of input SetInput(buffer), Decode
// (bytes in the buffer) and read GetInputOffset to learn how many bytes
// were used; the rest (never more than the 2 bytes of an incomplete code)
// is handed in again, in front of the next piece. The decoder stops at the
// end code and uses up all input after it. Not copyable; one thread at a
// time.
#pragma once

#include <cstdint>
#include <memory>

#include <windows.h>

#include "foundation/bitmapfiles/BitFieldCursor.h"

class CLZWDecoder {
 public:
  static constexpr DWORD kGIFMaxCodeWidth = 12;
  static constexpr DWORD kMaxCodeWidth = 16;
  static constexpr DWORD kMaxSymbolWidth = 16;

  CLZWDecoder() noexcept = default;
  CLZWDecoder(const CLZWDecoder&) = delete;
  CLZWDecoder& operator=(const CLZWDecoder&) = delete;
  ~CLZWDecoder() = default;

  // Frees an old table and sets the decoder up for literals 0 to
  // largestLiteral (GIF: 2^minimum code size - 1), codes of at most
  // maxCodeWidth bits and a first code width (<= 0: automatic, the bit
  // length of the largest literal plus one for GIF). Parameters for which
  // the literals and the two control codes do not fit the table, or an
  // entry would not fit in 32 bits, throw CLZWError kCodeTooBig.
  void Init(DWORD maxCodeWidth, DWORD largestLiteral, INT initialCodeWidth);
  void Free() noexcept;

  // Where the symbols go: `capacity` fields of `fieldWidth` bits (1 to 8;
  // 0 means the symbol width, which must then be at most 8) from the start
  // of a zeroed buffer, each symbol ANDed with `valueMask`. Symbols beyond
  // the capacity are dropped. Set before the first Decode.
  void SetOutput(BYTE* buffer, uint64_t capacity, DWORD fieldWidth = 0, DWORD valueMask = 0xFFFFFFFF);

  // The next piece of input: the byte offset goes back to 0, the bit
  // position within the first byte stays.
  void SetInput(BYTE* buffer) {
    m_Input.buffer = buffer;
    m_Input.byteOffset = 0;
  }
  // Decodes whole codes from the `available` bytes of the input; returns
  // the symbols written by this call. A code beyond the next free entry
  // (or one that names the next free entry with no string before it)
  // throws CLZWError kCodeTooBig.
  DWORD Decode(DWORD available);
  DWORD GetInputOffset() const { return m_Input.byteOffset; }

  bool HasEnded() const { return m_Ended; }
  // Symbols produced so far, the dropped ones included.
  uint64_t GetSymbolCount() const { return m_OutputPosition; }
  DWORD GetSymbolWidth() const { return m_SymbolWidth; }
  DWORD GetCodeWidth() const { return m_CodeWidth; }
  DWORD GetEntryCount() const { return m_EntryCount; }

 private:
  struct Work;
  // Longer strings are built in parts.
  static constexpr DWORD kMaxStringOnStack = 1024;

  void Restart();

  std::unique_ptr<DWORD[]> m_Table;
  std::unique_ptr<DWORD[]> m_Lengths;
  std::unique_ptr<WORD[]> m_FirstSymbols;
  // Byte-wide output: where each entry's string was last written in full
  // (all ones: nowhere yet), and where the previous code's string began.
  std::unique_ptr<uint64_t[]> m_Written;
  uint64_t m_PreviousStart = 0;
  DWORD m_EntryCount = 0;
  DWORD m_Capacity = 0;
  DWORD m_MaxCodeWidth = 0;
  DWORD m_SymbolWidth = 0;
  DWORD m_SymbolMask = 0;
  DWORD m_InitialCodeWidth = 0;
  DWORD m_InitialEntryCount = 0;
  DWORD m_ClearCode = 0;
  DWORD m_EndCode = 0;
  DWORD m_SymbolsWritten = 0;
  DWORD m_CodeWidth = 0;
  DWORD m_HighestCode = 0;  // of the current code width
  INT m_PreviousCode = -1;
  bool m_Ended = false;

  CBitFieldCursor m_Input;
  BYTE* m_Output = nullptr;
  uint64_t m_OutputCapacity = 0;
  uint64_t m_OutputPosition = 0;
  DWORD m_OutputWidth = 0;
  DWORD m_OutputMask = 0;
};
