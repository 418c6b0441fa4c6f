// CColorBox: reduces the colours a CColorTable has counted (a histogram
// over a coarse RGB grid) to at most a wanted number of palette colours. A
// box is a range of cells in each channel; reducing it cuts it into a grid
// of sub-boxes (about the cube root of the wanted number per channel),
// shares the wanted number out among the sub-boxes by how many used cells
// each holds, and reduces each in turn, down to boxes that yield one
// weighted average colour or keep every cell's colour.
//
// The table needs cell indices of at most 16 bits (for example 5-6-5 or
// 5-5-5 bits). The box reads the table, it does not own it. One thread at
// a time.
#pragma once

#include <memory>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CColorTable;

class CColorBox : public CTypedObject {
 public:
  CColorBox() noexcept = default;
  CColorBox(const CColorBox&) = delete;
  CColorBox& operator=(const CColorBox&) = delete;
  ~CColorBox() override;

  // A box over the whole table: one entry per used cell, in cell order. A
  // table whose cell indices take more than 16 bits throws the bitmap
  // error for unsupported formats.
  void InitFromTable(const CColorTable& table);
  // A sub-box over the part of a parent's entries whose cells lie between
  // the corners (cell indices) in every channel; those entries are marked
  // with the sub-box number in their high 16 bits.
  void InitFromRange(DWORD* entries, INT count, DWORD subBoxNumber, const CColorTable& table, WORD lowCorner,
                     WORD highCorner);
  // Reduces the box to at most `wanted` colours (a negative number: the
  // box's target). Afterwards the entries are the colours, 0x00BBGGRR.
  void Reduce(INT wanted = -1);
  // Frees owned entries; forgets table, entries and count.
  void Reset();

  INT GetCount() const { return m_Count; }
  const DWORD* GetEntries() const { return m_Entries; }
  INT GetTarget() const { return m_Target; }
  bool IsReduced() const { return m_Reduced; }
  WORD GetLowCorner() const { return m_LowCorner; }
  WORD GetHighCorner() const { return m_HighCorner; }

 private:
  struct Channels;

  Channels GetChannels() const;
  DWORD ColorOfCell(DWORD cell) const;
  void EntriesToColors();
  DWORD AverageColor() const;
  void SortEntries();
  void Split(INT wanted);

  const CColorTable* m_Table = nullptr;
  DWORD* m_Entries = nullptr;
  std::unique_ptr<DWORD[]> m_OwnedEntries;
  INT m_Count = 0;
  WORD m_LowCorner = 0;
  WORD m_HighCorner = 0;
  INT m_Target = 1;
  bool m_Reduced = false;
};
