// CBitmapBlitter: copies a rectangle of pixels from one bitmap into
// another of the same pixel format, without scaling, conversion or colour
// key. Rows are counted from the top in both bitmaps whatever their
// storage order. The rectangle is clipped to both bitmaps, so parts that
// lie outside either are left out; pixels narrower than a byte are copied
// bit for bit, so neighbouring pixels in the same byte stay as they were.
//
// SetFormat first; a bitmap of another pixel size, or a pixel size other
// than 1, 2, 4, 8, 16, 24 or 32 bits, throws the unsupported-format error.
// One thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CDIBitmap;
class CPixelFormat;

class CBitmapBlitter : public CTypedObject {
  TWL_DECLARE_CLASS(CBitmapBlitter)
 public:
  CBitmapBlitter() noexcept = default;

  void SetFormat(const CPixelFormat& format);
  // Copies width x height pixels from (sourceX, sourceY) of the source to
  // (destinationX, destinationY) of the destination. Source and
  // destination may be the same bitmap.
  void Blit(CDIBitmap& destination, INT destinationX, INT destinationY, INT width, INT height, const CDIBitmap& source,
            INT sourceX, INT sourceY);

  INT GetBitsPerPixel() const { return m_BitsPerPixel; }
  INT GetBytesPerPixel() const { return m_BytesPerPixel; }

 private:
  INT m_BytesPerPixel = 0;
  INT m_BitsPerPixel = -1;  // no format yet
};
