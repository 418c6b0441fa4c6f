// Finding and loading the pictures of a skin folder.
#include <windows.h>

#include <cstdint>

#include "foundation/bitmapfiles/PictureSize.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Str.h"
#include "foundation/streams/Stream.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "skins/base/SkinErrors.h"

namespace {

// No skin needs a picture larger than this: each side at most 16384
// pixels, and 16 Mi pixels in all (64 MiB once made 32-bit). A file
// claiming more (a few bytes of run-length data can claim gigabytes) is
// refused before its pixels are decoded.
constexpr uint64_t kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t{1} << 24;

constexpr DWORD kPictureOpenFlags = kStreamRead | kStreamSeek | kStreamShareRead;

bool FitsASkin(const ClaimedPictureSize& size) {
  return size.width <= kMaxSide && size.height <= kMaxSide && size.width * size.height <= kMaxPixels;
}

[[noreturn]] void ThrowPictureTooLarge(const char* fileName, const ClaimedPictureSize& size) {
  ThrowSkinError(kSkinErrorCaption,
                 SkinText("SkinError.BitmapTooLarge",
                          "The bitmap '%FILE%' is too large for a skin (%WIDTH% x %HEIGHT% pixels; at most "
                          "%MAXSIDE% on a side and %MAXPIXELS% pixels in all).",
                          {{"%FILE%", fileName},
                           {"%WIDTH%", CStr::Format("%llu", static_cast<unsigned long long>(size.width))},
                           {"%HEIGHT%", CStr::Format("%llu", static_cast<unsigned long long>(size.height))},
                           {"%MAXSIDE%", CStr::Format("%llu", static_cast<unsigned long long>(kMaxSide))},
                           {"%MAXPIXELS%", CStr::Format("%llu", static_cast<unsigned long long>(kMaxPixels))}}));
}

// Loads the picture file into `picture` once its headers claim a size a
// skin may have; a file whose headers cannot be read goes to the reader,
// which says what is wrong with it.
void LoadSkinPicture(CDIBitmap& picture, const char* folder, const char* fileName) {
  CStream* stream = GetFileSystem().Open(CStr(folder) + fileName, kPictureOpenFlags, 0);
  try {
    ClaimedPictureSize size;
    if (ReadClaimedPictureSize(*stream, size) && !FitsASkin(size)) ThrowPictureTooLarge(fileName, size);
    stream->Seek(0, kSeekFromStart, nullptr);
    picture.Load(*stream);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  stream->Close();
}

// Closes the search however the loader leaves.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : m_Handle(handle) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (m_Handle != INVALID_HANDLE_VALUE) FindClose(m_Handle);
  }
  bool Valid() const { return m_Handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_Handle; }

 private:
  HANDLE m_Handle;
};

}  // namespace

CDIBitmap* CSkinBase::LoadBitmap(const char* folder, const char* prefix, const char* name, const char* suffix) {
  const CStr pattern = CStr::Format("%s%s%s%s.bmp", folder, prefix, name, suffix);
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(pattern, &entry));
  if (!search.Valid()) return nullptr;
  BitmapPtr picture(NewObject<CDIBitmap>());
  CError* kept = nullptr;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    try {
      LoadSkinPicture(*picture, folder, entry.cFileName);
      if (kept) DisposeError(kept);
      return picture.release();
    } catch (CError* error) {
      // The next candidate may load; the last failure is what is reported.
      if (kept) DisposeError(kept);
      kept = error;
    }
  } while (FindNextFileA(search.Get(), &entry));
  if (kept) throw kept;
  return nullptr;
}

CBitmapFont* CSkinBase::LoadFont(const char* folder, const char* prefix, const char* name, const char* suffix) {
  BitmapPtr picture(LoadBitmap(folder, prefix, name, suffix));
  if (!picture) return nullptr;
  FontPtr font(NewObject<CBitmapFont>());
  // A picture whose characters cannot be found is no font: the font has
  // already released it, and the failure passes on like a picture that
  // does not load.
  if (!font->SetBitmap(picture.release())) ThrowCorruptedFile();
  return font.release();
}
