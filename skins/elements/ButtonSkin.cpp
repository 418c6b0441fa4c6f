#include "skins/elements/ButtonSkin.h"

#include <cstdint>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CButtonSkin, CSkinBase)
TWL_IMPLEMENT_CREATABLE_CLASS(CAnimButtonSkin, CSkinBase)

namespace {

constexpr DWORD kTagBTMC = MakeTag("BTMC");
constexpr DWORD kTagBTMK = MakeTag("BTMK");
constexpr DWORD kPushTags[4] = {MakeTag("BTBN"), MakeTag("BTBH"), MakeTag("BTBD"), MakeTag("BTBS")};
constexpr DWORD kAnimatedTags[3] = {MakeTag("BTBH"), MakeTag("BTBD"), MakeTag("BTBS")};

}  // namespace

CButtonSkinBase::CButtonSkinBase(const DWORD* stateTags, int stateCount) noexcept
    : m_StateTags(stateTags), m_StateCount(stateCount) {}

CButtonSkinBase::~CButtonSkinBase() { Clear(); }

CButtonSkin::CButtonSkin() noexcept : CButtonSkinBase(kPushTags, 4) {}
CAnimButtonSkin::CAnimButtonSkin() noexcept : CButtonSkinBase(kAnimatedTags, 3) {}

void CButtonSkinBase::Clear() {
  for (CDIBitmap*& state : m_States) ReleaseBitmap(state);
  DeleteOwned(m_Mask);
}

int CButtonSkinBase::StateOfTag(DWORD tag) const {
  for (int i = 0; i < m_StateCount; ++i)
    if (m_StateTags[i] == tag) return i;
  return -1;
}

bool CButtonSkinBase::HasRectSize(DWORD width, DWORD height) const {
  return static_cast<int64_t>(width) == static_cast<int64_t>(m_Rect.right) - m_Rect.left &&
         static_cast<int64_t>(height) == static_cast<int64_t>(m_Rect.bottom) - m_Rect.top;
}

void CButtonSkinBase::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadChunks(stream, length); });
}

void CButtonSkinBase::ReadChunks(CStream& stream, DWORD length) {
  bool commonSeen = false;
  bool maskSeen = false;
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int state = StateOfTag(head.tag);
    if (state >= 0) {
      if (!commonSeen || m_States[state]) ThrowCorruptedFile();
      DWORD used = 0;
      m_States[state] = ReadBitmap(stream, head.length, &used);
      SkipExact(stream, head.length - used);
      if (!HasRectSize(m_States[state]->GetWidth(), m_States[state]->GetHeight())) ThrowCorruptedFile();
    } else if (head.tag == kTagBTMC) {
      if (commonSeen || head.length < 16) ThrowCorruptedFile();
      m_Rect = ReadRectRecord(stream);
      SkipExact(stream, head.length - 16);
      commonSeen = true;
    } else if (head.tag == kTagBTMK) {
      if (!commonSeen || maskSeen) ThrowCorruptedFile();
      m_Mask = ReadMask(stream, head.length);
      maskSeen = true;
      if (!HasRectSize(static_cast<DWORD>(m_Mask->GetWidth()), static_cast<DWORD>(m_Mask->GetHeight())))
        ThrowCorruptedFile();
    } else {
      SkipExact(stream, head.length);
    }
  }
  if (!commonSeen) ThrowCorruptedFile();
  for (int i = 0; i < m_StateCount; ++i)
    if (!m_States[i]) ThrowCorruptedFile();
}

void CButtonSkinBase::SaveCompiled(CStream& stream) const {
  WriteChunk(stream, kTagBTMC, [&] { WriteRectRecord(stream, m_Rect); });
  for (int i = 0; i < m_StateCount; ++i)
    if (m_States[i]) WriteChunk(stream, m_StateTags[i], [&] { WriteBitmap(stream, *m_States[i]); });
  if (m_Mask) WriteChunk(stream, kTagBTMK, [&] { WriteMask(stream, *m_Mask); });
}

void CButtonSkin::CollectColors(CColorTable& table) const {
  for (int i = 0; i < GetStateCount(); ++i)
    if (GetState(i)) GetState(i)->CollectColors(table, false);
}
