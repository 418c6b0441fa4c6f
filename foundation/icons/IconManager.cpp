#include "foundation/icons/IconManager.h"

#include <cstdint>
#include <vector>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CIconManager, CTypedObject)

namespace {

constexpr int kIconSize = 16;
constexpr int kGrowBy = 50;
constexpr UINT kHandleBuckets = 1003;
// The program's path is read into a buffer that doubles until the path fits
// with room to spare; beyond this size the answer is taken as a failure.
constexpr DWORD kFirstPathBuffer = 262;
constexpr DWORD kLargestPathBuffer = 1u << 16;

[[noreturn]] void ThrowImageListError(const char* textKey, const char* text) {
  ThrowError<CError>(LocalText("ImageListError.Caption", "ImageList error"), LocalText(textKey, text));
}

[[noreturn]] void ThrowModulePathError() {
  ThrowError<CError>(LocalText("GetModuleFileNameFailed.Caption", "Module error"),
                     LocalText("GetModuleFileNameFailed.Text", "Unable to retrieve the module's path."));
}

[[noreturn]] void ThrowExtractError() {
  ThrowError<CError>(LocalText("ExtractIconFailed.Caption", "File error"),
                     LocalText("ExtractIconFailed.Text", "Unable to extract an icon from a file."));
}

// Icon handles are 32-bit ids, so a handle is its own map key.
DWORD HandleKey(HICON icon) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(icon)); }

void* IndexValue(INT index) { return reinterpret_cast<void*>(static_cast<intptr_t>(index)); }

INT IndexOf(void* value) { return static_cast<INT>(reinterpret_cast<intptr_t>(value)); }

CStr ProgramPath() {
  std::vector<char> buffer(kFirstPathBuffer);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) ThrowModulePathError();
    if (size - length >= 2) return CStr(buffer.data(), length);
    if (size >= kLargestPathBuffer) ThrowModulePathError();
    buffer.resize(size * 2);
  }
}

// Destroys an icon the manager made for itself when the scope ends, also
// when adding it threw.
class OwnedIcon {
 public:
  explicit OwnedIcon(HICON icon) : m_Icon(icon) {}
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  ~OwnedIcon() {
    if (m_Icon) DestroyIcon(m_Icon);
  }
  HICON Get() const { return m_Icon; }

 private:
  HICON m_Icon;
};

}  // namespace

class CIconManager::Lock {
 public:
  explicit Lock(CRITICAL_SECTION& section) : m_Section(section) { EnterCriticalSection(&m_Section); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  ~Lock() { LeaveCriticalSection(&m_Section); }

 private:
  CRITICAL_SECTION& m_Section;
};

CIconManager::CIconManager() {
  InitializeCriticalSection(&m_Lock);
  m_HandleMap.InitHashTable(kHandleBuckets, false);
}

CIconManager::~CIconManager() {
  Clear();
  DeleteCriticalSection(&m_Lock);
}

void CIconManager::Init(HIMAGELIST systemImageList) {
  Lock lock(m_Lock);
  Clear();
  m_SystemImageList = systemImageList ? systemImageList : FindSystemImageList();
  m_ImageList = ImageList_Create(kIconSize, kIconSize, ILC_COLOR16 | ILC_MASK, 0, kGrowBy);
  if (!m_ImageList) ThrowImageListError("ImageListError.CreateFailed", "Unable to create image list.");
}

HIMAGELIST CIconManager::FindSystemImageList() {
  const CStr path = ProgramPath();
  SHFILEINFOA info{};
  const DWORD_PTR list = SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  if (!list) {
    ThrowError<CError>(
        LocalText("CantGetSystemImageList.Caption", "ImageList error"),
        LocalText("CantGetSystemImageList.Text", "Unable to retrieve a handle to the system image list."));
  }
  return reinterpret_cast<HIMAGELIST>(list);
}

void CIconManager::Clear() {
  Lock lock(m_Lock);
  if (!m_ImageList) return;
  ImageList_Destroy(m_ImageList);
  m_ImageList = nullptr;
  delete m_LocationMap.right;
  m_LocationMap.right = nullptr;
  m_HandleMap.RemoveAll();
  m_SystemIcons.SetSize(0);
}

INT CIconManager::AppendIcon(HICON icon) {
  const INT index = ImageList_ReplaceIcon(m_ImageList, -1, icon);
  if (index < 0) ThrowImageListError("ImageListError.AddIcon", "Unable to add icon to image list.");
  return index;
}

void CIconManager::RecordKey(const CStr& key, INT index) {
  CStringTreeNode::Insert(&m_LocationMap, key, IndexValue(index));
}

void CIconManager::RecordSystemIcon(INT systemIndex, INT index) {
  const INT count = m_SystemIcons.GetCount();
  if (systemIndex >= count) {
    m_SystemIcons.SetSize(systemIndex + 1);
    for (INT slot = count; slot < systemIndex; ++slot) m_SystemIcons[slot] = static_cast<DWORD>(-1);
  }
  m_SystemIcons[systemIndex] = static_cast<DWORD>(index);
}

INT CIconManager::AddIcon(HICON icon) {
  Lock lock(m_Lock);
  const INT index = AppendIcon(icon);
  m_HandleMap[HandleKey(icon)] = static_cast<DWORD>(index);
  return index;
}

INT CIconManager::AddIconWithKey(HICON icon, const char* file, INT number) {
  Lock lock(m_Lock);
  const INT index = AddIcon(icon);
  RecordKey(MakeKey(file, number), index);
  return index;
}

// The icon taken from the system list is destroyed right after it was
// copied, so it is remembered by its system index only: its handle may soon
// name another icon.
INT CIconManager::AddSystemIcon(INT systemIndex) {
  Lock lock(m_Lock);
  // A negative index names no icon, nor a slot of the array.
  const OwnedIcon icon(systemIndex >= 0 ? ImageList_GetIcon(m_SystemImageList, systemIndex, ILD_TRANSPARENT) : nullptr);
  if (!icon.Get()) ThrowImageListError("ImageListError.GetIcon", "Error extracting an icon from an image list.");
  const INT index = AppendIcon(icon.Get());
  RecordSystemIcon(systemIndex, index);
  return index;
}

INT CIconManager::FindIcon(HICON icon) {
  Lock lock(m_Lock);
  DWORD index = 0;
  if (!icon || !m_HandleMap.Lookup(HandleKey(icon), index)) return -1;
  return static_cast<INT>(index);
}

INT CIconManager::FindSystemIcon(INT systemIndex) {
  Lock lock(m_Lock);
  if (systemIndex < 0 || systemIndex >= m_SystemIcons.GetCount()) return -1;
  return static_cast<INT>(m_SystemIcons[systemIndex]);
}

INT CIconManager::FindKey(const char* key) {
  Lock lock(m_Lock);
  void* value = nullptr;
  if (!key || !CStringTreeNode::Lookup(m_LocationMap.GetRoot(), key, &value)) return -1;
  return IndexOf(value);
}

INT CIconManager::GetIconIndex(HICON icon) {
  Lock lock(m_Lock);
  const INT known = FindIcon(icon);
  return known >= 0 ? known : AddIcon(icon);
}

INT CIconManager::GetSystemIconIndex(INT systemIndex) {
  Lock lock(m_Lock);
  const INT known = FindSystemIcon(systemIndex);
  return known >= 0 ? known : AddSystemIcon(systemIndex);
}

// The extracted icon is destroyed once added, so, as with system icons, it
// is remembered by its location only. Icon number -1 would ask ExtractIconA
// for the number of icons in the file, whose answer is not an icon handle
// (and may be the id of an unrelated icon): it extracts nothing.
INT CIconManager::GetFileIconIndex(const char* file, INT number) {
  Lock lock(m_Lock);
  const CStr key = MakeKey(file, number);
  const INT known = FindKey(key);
  if (known >= 0) return known;
  if (!file || number == -1) ThrowExtractError();
  const OwnedIcon icon(ExtractIconA(GetModuleHandleA(nullptr), file, static_cast<UINT>(number)));
  if (!icon.Get()) ThrowExtractError();
  const INT index = AppendIcon(icon.Get());
  RecordKey(key, index);
  return index;
}

HIMAGELIST CIconManager::GetImageList() {
  Lock lock(m_Lock);
  return m_ImageList;
}

HIMAGELIST CIconManager::GetSystemImageList() {
  Lock lock(m_Lock);
  return m_SystemImageList;
}

CStr CIconManager::MakeKey(const char* file, INT number) { return CStr::Format("%s,%d", file ? file : "", number); }
