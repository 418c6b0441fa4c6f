// CColorPalette: the shared list of colours of a palettized pixel format.
// Entries are 0x00BBGGRR (red in the low byte). Formats, bitmaps and
// readers hold it by counted reference: a new palette has count 1.
#pragma once

#include <windows.h>

#include "foundation/kernel/DynamicObject.h"

class CColorPalette : public CDynamicObject {
  TWL_DECLARE_CLASS(CColorPalette)
 public:
  CColorPalette() noexcept = default;
  ~CColorPalette() override;

  // Replaces the entries by n new ones, copied from `source` when given,
  // else zero (black) for the caller to fill.
  void SetEntries(DWORD n, const DWORD* source);

  // Stored form: u32 count, then the entries. A load collects the entries
  // as they arrive, so a count larger than the data fails with the
  // archive's end-of-stream error before a large allocation; a failed load
  // leaves the entries as they were.
  void Serialize(CStorage& storage) override;

  DWORD GetCount() const { return m_Count; }
  const DWORD* GetEntries() const { return m_Entries; }
  DWORD* GetEntries() { return m_Entries; }

 private:
  DWORD* m_Entries = nullptr;
  DWORD m_Count = 0;
};
