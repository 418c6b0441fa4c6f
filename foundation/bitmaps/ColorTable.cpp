#include "foundation/bitmaps/ColorTable.h"

#include <new>

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CColorTable, CTypedObject)

namespace {

DWORD CellShiftForValueBits(DWORD valueBits) {
  if (valueBits <= 8) return 0;
  return valueBits <= 16 ? 1 : 2;
}

}  // namespace

void CColorTable::Setup(DWORD redBits, DWORD greenBits, DWORD blueBits, DWORD valueBits) {
  if (redBits > 8 || greenBits > 8 || blueBits > 8 || valueBits == 0 || valueBits > 32)
    ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  const DWORD cellShift = CellShiftForValueBits(valueBits);
  const DWORD cellCount = 1u << (redBits + greenBits + blueBits);
  const size_t bytes = (static_cast<size_t>(cellCount) << cellShift) + 4;
  std::unique_ptr<BYTE[]> cells(new (std::nothrow) BYTE[bytes]());
  if (!cells) ThrowMemoryError();

  m_Cells = std::move(cells);
  m_RedBits = redBits;
  m_GreenBits = greenBits;
  m_BlueBits = blueBits;
  m_ValueBits = valueBits;
  m_CellShift = cellShift;
  m_CellCount = cellCount;
  m_ValueMask = valueBits == 32 ? 0xFFFFFFFFu : (1u << valueBits) - 1;
  m_IndexMasks = {(1u << redBits) - 1, ((1u << greenBits) - 1) << redBits,
                  ((1u << blueBits) - 1) << (redBits + greenBits), 0};
}

DWORD CColorTable::GetIndexOfColor(DWORD color) const {
  // Shifting a byte right by 8 leaves nothing: a channel of 0 bits adds nothing.
  const DWORD red = (color & 0xFF) >> (8 - m_RedBits);
  const DWORD green = ((color >> 8) & 0xFF) >> (8 - m_GreenBits);
  const DWORD blue = ((color >> 16) & 0xFF) >> (8 - m_BlueBits);
  return red | green << m_RedBits | blue << (m_RedBits + m_GreenBits);
}

DWORD CColorTable::GetCell(DWORD offset) const {
  if (!m_Cells || (offset >> m_CellShift) >= m_CellCount) return 0;
  return ReadLE32(&m_Cells[offset]) & m_ValueMask;
}

void CColorTable::SetCell(DWORD offset, DWORD value) {
  if (!m_Cells || (offset >> m_CellShift) >= m_CellCount) return;
  BYTE* cell = &m_Cells[offset];
  WriteLE32(cell, (ReadLE32(cell) & ~m_ValueMask) | (value & m_ValueMask));
}

void CColorTable::CountCell(DWORD offset) {
  const DWORD value = GetCell(offset);
  if (value != m_ValueMask) SetCell(offset, value + 1);
}

DWORD CColorTable::FindUsedFrom(DWORD offset) const {
  const DWORD end = m_CellCount << m_CellShift;
  for (; offset < end; offset += 1u << m_CellShift)
    if (ReadLE32(&m_Cells[offset]) & m_ValueMask) return offset + 1;
  return 0;
}

DWORD CColorTable::FindFirstUsed() const { return m_Cells ? FindUsedFrom(0) : 0; }

bool CColorTable::GetNextUsed(DWORD& position, DWORD& index, DWORD& value) const {
  if (position == 0 || !m_Cells) return false;
  const DWORD offset = position - 1;
  index = offset >> m_CellShift;
  value = GetCell(offset);
  position = FindUsedFrom(offset + (1u << m_CellShift));
  return position != 0;
}
