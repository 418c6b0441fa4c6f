// Finding and loading the pictures of a skin folder.
#include <windows.h>

#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Str.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "skins/base/SkinErrors.h"

namespace {

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
      picture->Load(CStr(folder) + entry.cFileName);
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
