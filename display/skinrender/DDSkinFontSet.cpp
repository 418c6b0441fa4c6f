#include "display/skinrender/DDSkinFontSet.h"

#include "display/skinrender/DDWriter.h"
#include "skins/sets/SkinFontSet.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDSkinFontSet, CDDSkinBase)

static_assert(CDDSkinFontSet::kFontCount == CSkinFontSet::kFontCount);

HRESULT CDDSkinFontSet::Create(const CSkinFontSet& fonts) {
  Release();
  const HRESULT result = BuildOrRelease(*this, [&]() -> HRESULT {
    for (int index = 0; index < kFontCount; ++index)
      if (HRESULT made = CreateWriter(fonts.GetFont(index), m_Writers[index]); FAILED(made)) return made;
    return DD_OK;
  });
  m_Created = SUCCEEDED(result);
  return result;
}

void CDDSkinFontSet::Release() noexcept {
  for (CDDWriter*& writer : m_Writers) {
    delete writer;
    writer = nullptr;
  }
  m_Created = false;
}

int CDDSkinFontSet::GetParentFont(int index) {
  static constexpr int kParents[kFontCount] = {-1, 0, 0, 1, 3, 2};
  return index >= 0 && index < kFontCount ? kParents[index] : -1;
}

CDDWriter* CDDSkinFontSet::GetFont(int index) const {
  if (index < 0 || index >= kFontCount) return nullptr;
  while (index >= 0 && !m_Writers[index]) index = GetParentFont(index);
  return index >= 0 ? m_Writers[index] : nullptr;
}
