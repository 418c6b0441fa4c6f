// CMask: the shape of a window, button or frame part as one byte per
// pixel, row after row (pitch = width): 0 outside, anything else inside.
// A mask owns its bytes, attached ones included, and frees them when it is
// freed or destroyed; a lender takes attached bytes back with Detach
// first. One thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CMask : public CTypedObject {
  TWL_DECLARE_CLASS(CMask)
 public:
  CMask() noexcept = default;
  CMask(const CMask&) = delete;
  CMask& operator=(const CMask&) = delete;
  ~CMask() override;

  // Frees the current bytes and makes width x height new ones, contents
  // undefined. Negative sizes throw the invalid-parameter error, a
  // shortage of memory the memory error; the mask is empty afterwards
  // either way.
  void Create(INT width, INT height);
  // Frees the current bytes and takes the caller's (from new BYTE[])
  // without copying.
  void Attach(BYTE* bytes, INT width, INT height);
  // Forgets the bytes without freeing them.
  void Detach() noexcept;
  void Free() noexcept;
  // Every byte becomes 1 where it was 0, else 0.
  void Invert() noexcept;

  INT GetWidth() const { return m_Width; }
  INT GetHeight() const { return m_Height; }
  BYTE* GetBytes() { return m_Bytes; }
  const BYTE* GetBytes() const { return m_Bytes; }
  bool IsInside(INT x, INT y) const { return m_Bytes[static_cast<size_t>(y) * m_Width + x] != 0; }

 private:
  INT m_Width = 0;
  INT m_Height = 0;
  BYTE* m_Bytes = nullptr;
};
