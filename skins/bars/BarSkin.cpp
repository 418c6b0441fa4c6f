#include "skins/bars/BarSkin.h"

#include <cstdint>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/bars/BarScript.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBarSkin, CSkinBase)

namespace {

constexpr DWORD kTagBRMC = MakeTag("BRMC");
constexpr DWORD kTagBRBM = MakeTag("BRBM");
constexpr DWORD kTagBRMK = MakeTag("BRMK");
constexpr DWORD kTagBRST = MakeTag("BRST");

}  // namespace

CBarSkin::~CBarSkin() { Clear(); }

void CBarSkin::Clear() {
  ReleaseBitmap(m_Bitmap);
  DeleteOwned(m_Mask);
  DeleteOwned(m_Script);
}

bool CBarSkin::HasRectSize(DWORD width, DWORD height) const {
  return static_cast<int64_t>(width) == static_cast<int64_t>(m_Rect.right) - m_Rect.left &&
         static_cast<int64_t>(height) == static_cast<int64_t>(m_Rect.bottom) - m_Rect.top;
}

bool CBarSkin::ContainsRelativePoint(POINT point) const {
  const int64_t width = static_cast<int64_t>(m_Rect.right) - m_Rect.left;
  const int64_t height = static_cast<int64_t>(m_Rect.bottom) - m_Rect.top;
  if (point.x < 0 || point.y < 0 || point.x >= width || point.y >= height) return false;
  return !m_Mask || m_Mask->IsInside(point.x, point.y);
}

void CBarSkin::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadChunks(stream, length); });
}

void CBarSkin::ReadChunks(CStream& stream, DWORD length) {
  bool commonRead = false;
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    if (head.tag == kTagBRMC) {
      if (commonRead || head.length < 16) ThrowCorruptedFile();
      m_Rect = ReadRectRecord(stream);
      SkipExact(stream, head.length - 16);
      commonRead = true;
    } else if (head.tag == kTagBRBM) {
      if (!commonRead || m_Bitmap) ThrowCorruptedFile();
      DWORD used = 0;
      m_Bitmap = ReadBitmap(stream, head.length, &used);
      SkipExact(stream, head.length - used);
      if (!HasRectSize(m_Bitmap->GetWidth(), m_Bitmap->GetHeight())) ThrowCorruptedFile();
    } else if (head.tag == kTagBRMK) {
      if (!commonRead || m_Mask || m_Script) ThrowCorruptedFile();
      m_Mask = ReadMask(stream, head.length);
      if (!HasRectSize(static_cast<DWORD>(m_Mask->GetWidth()), static_cast<DWORD>(m_Mask->GetHeight())))
        ThrowCorruptedFile();
    } else if (head.tag == kTagBRST) {
      if (!commonRead || m_Script) ThrowCorruptedFile();
      m_Script = NewObject<CBarScript>();
      m_Script->LoadCompiled(stream, head.length);
    } else {
      SkipExact(stream, head.length);
    }
  }
  if (!commonRead || !m_Bitmap) ThrowCorruptedFile();
  if (!m_Script) return;
  // The slider fills from the fill point and cuts the mask along edges
  // through the way points: points outside the bar would take it outside
  // its mask. A folder load refuses them too.
  if (!ContainsRelativePoint(m_Script->GetFillPoint())) ThrowCorruptedFile();
  for (INT i = 0; i < m_Script->GetPointCount(); ++i)
    if (!ContainsRelativePoint(m_Script->GetPoints()[i])) ThrowCorruptedFile();
  m_Script->InitConnectors();
}

void CBarSkin::SaveCompiled(CStream& stream) const {
  WriteChunk(stream, kTagBRMC, [&] { WriteRectRecord(stream, m_Rect); });
  WriteChunk(stream, kTagBRBM, [&] { WriteBitmap(stream, *m_Bitmap); });
  if (m_Mask) WriteChunk(stream, kTagBRMK, [&] { WriteMask(stream, *m_Mask); });
  if (m_Script) WriteChunk(stream, kTagBRST, [&] { m_Script->SaveCompiled(stream); });
}

void CBarSkin::CollectColors(CColorTable& table) const {
  if (m_Bitmap) m_Bitmap->CollectColors(table, false);
}
