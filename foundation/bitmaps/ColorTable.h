// CColorTable: a table over quantised red, green and blue with a small
// value per cell. As a usage table, bitmaps mark or count their colours in
// it (CDIBitmap::CollectColors) and the palette builder walks the used
// cells; as an inverse colour map, each cell holds the index of the
// nearest palette entry and the pixel converter turns colours into
// indices through it. Owned by one user; not locked.
//
// The cell index of a colour holds the top red bits lowest, then the top
// green bits, then the top blue bits. A cell is 2^shift bytes (shift 0 for
// values of up to 8 bits, 1 up to 16, 2 up to 32); its value is the low
// value bits of a little-endian 32-bit word at the cell's byte offset
// (index << shift). Four spare bytes after the last cell keep that read
// inside the block.
#pragma once

#include <array>
#include <memory>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CColorTable : public CTypedObject {
  TWL_DECLARE_CLASS(CColorTable)
 public:
  CColorTable() noexcept = default;
  CColorTable(const CColorTable&) = delete;
  CColorTable& operator=(const CColorTable&) = delete;
  ~CColorTable() override = default;

  // Discards any old cells and makes 2^(r+g+b) zeroed cells of v-bit
  // values. Channels take 0 to 8 bits, values 1 to 32; other set-ups
  // throw the unsupported-format error and leave the table as it was.
  void Setup(DWORD redBits, DWORD greenBits, DWORD blueBits, DWORD valueBits);
  bool IsSetUp() const { return m_Cells != nullptr; }

  // The cell index and byte offset of a colour 0x00BBGGRR.
  DWORD GetIndexOfColor(DWORD color) const;
  DWORD GetCellOffset(DWORD color) const { return GetIndexOfColor(color) << m_CellShift; }

  // A cell's value by byte offset; offsets outside the table read 0 and
  // are not written.
  DWORD GetCell(DWORD offset) const;
  void SetCell(DWORD offset, DWORD value);
  // Marking sets the value to 1; counting adds 1 and stops at the value mask.
  void MarkCell(DWORD offset) { SetCell(offset, 1); }
  void CountCell(DWORD offset);

  // Walking the used cells:
  //   for (DWORD position = table.FindFirstUsed(); position != 0;)
  //     table.GetNextUsed(position, index, value);
  // FindFirstUsed gives the first used cell's offset + 1, or 0 when no
  // cell is used. GetNextUsed gives the cell at position - 1 and moves the
  // position to the next used cell, answering whether there is one.
  DWORD FindFirstUsed() const;
  bool GetNextUsed(DWORD& position, DWORD& index, DWORD& value) const;

  DWORD GetRedBits() const { return m_RedBits; }
  DWORD GetGreenBits() const { return m_GreenBits; }
  DWORD GetBlueBits() const { return m_BlueBits; }
  DWORD GetValueBits() const { return m_ValueBits; }
  DWORD GetCellShift() const { return m_CellShift; }
  DWORD GetCellCount() const { return m_CellCount; }
  DWORD GetValueMask() const { return m_ValueMask; }
  // The index seen as a pixel format (red, green, blue, alpha masks), for
  // moving the channels of a pixel into a cell index.
  const std::array<DWORD, 4>& GetIndexMasks() const { return m_IndexMasks; }
  // The cells, for users that fill the table directly ((cell count <<
  // cell shift) bytes).
  BYTE* GetCells() { return m_Cells.get(); }
  const BYTE* GetCells() const { return m_Cells.get(); }

 private:
  DWORD FindUsedFrom(DWORD offset) const;

  DWORD m_RedBits = 0;
  DWORD m_GreenBits = 0;
  DWORD m_BlueBits = 0;
  DWORD m_ValueBits = 0;
  DWORD m_CellShift = 0;
  std::unique_ptr<BYTE[]> m_Cells;
  DWORD m_CellCount = 0;
  DWORD m_ValueMask = 0;
  std::array<DWORD, 4> m_IndexMasks{};
};
