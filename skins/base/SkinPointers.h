// Owning pointers for the objects skin descriptions hold while they load
// them: bitmaps are released (they are counted), masks and fonts deleted.
#pragma once

#include <memory>
#include <new>

#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/MemoryError.h"
#include "skins/masks/Mask.h"

struct BitmapReleaser {
  void operator()(CDIBitmap* bitmap) const {
    if (bitmap) bitmap->Release();
  }
};
using BitmapPtr = std::unique_ptr<CDIBitmap, BitmapReleaser>;
using MaskPtr = std::unique_ptr<CMask>;
using FontPtr = std::unique_ptr<CBitmapFont>;

// Releasing a bitmap slot of a description.
inline void ReleaseBitmap(CDIBitmap*& bitmap) {
  if (bitmap) bitmap->Release();
  bitmap = nullptr;
}
template <class T>
void DeleteOwned(T*& object) {
  delete object;
  object = nullptr;
}

// A new object made by its default constructor; the memory error when
// memory is short.
template <class T>
T* NewObject() {
  T* object = new (std::nothrow) T;
  if (!object) ThrowMemoryError();
  return object;
}
