#include "skins/frames/AuxWindowSkin.h"

#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/frames/PartChunks.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CAuxWindowSkin, CVarSizeWindowSkin)

namespace {

constexpr DWORD kTagSBMP = MakeTag("SBMP");
constexpr DWORD kTagSMSK = MakeTag("SMSK");
constexpr DWORD kTagSCFT = MakeTag("SCFT");
constexpr DWORD kTagSMSC = MakeTag("SMSC");
constexpr DWORD kPartTags[CAuxWindowSkin::kPartCount] = {
    MakeTag("BTLT"), MakeTag("BTMD"), MakeTag("BTRT"), MakeTag("BMLT"), MakeTag("BMMD"),
    MakeTag("BMRT"), MakeTag("BBLT"), MakeTag("BBMD"), MakeTag("BBRT")};
constexpr DWORD kMaskTags[CAuxWindowSkin::kPartCount] = {
    MakeTag("MTLT"), MakeTag("MTMD"), MakeTag("MTRT"), MakeTag("MMLT"), MakeTag("MMMD"),
    MakeTag("MMRT"), MakeTag("MBLT"), MakeTag("MBMD"), MakeTag("MBRT")};
constexpr DWORD kSettingsSize = 48;

}  // namespace

CAuxWindowSkin::~CAuxWindowSkin() { Clear(); }

void CAuxWindowSkin::Clear() {
  for (CDIBitmap*& part : m_Parts) ReleaseBitmap(part);
  for (CMask*& mask : m_Masks) DeleteOwned(mask);
  DeleteOwned(m_CaptionFont);
}

void CAuxWindowSkin::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadChunks(stream, length); });
}

void CAuxWindowSkin::ReadChunks(CStream& stream, DWORD length) {
  bool partsRead = false, masksRead = false, fontRead = false, settingsRead = false;
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    switch (head.tag) {
      case kTagSBMP:
        if (partsRead) ThrowCorruptedFile();
        ReadParts(stream, head.length);
        partsRead = true;
        break;
      case kTagSMSK:
        if (!partsRead || masksRead) ThrowCorruptedFile();
        ReadMasks(stream, head.length);
        masksRead = true;
        break;
      case kTagSCFT:
        if (fontRead) ThrowCorruptedFile();
        m_CaptionFont = ReadFont(stream, head.length);
        fontRead = true;
        break;
      case kTagSMSC:
        if (settingsRead) ThrowCorruptedFile();
        ReadSettings(stream, head.length);
        settingsRead = true;
        break;
      default:
        SkipExact(stream, head.length);
    }
  }
  if (!partsRead || !settingsRead) ThrowCorruptedFile();
}

void CAuxWindowSkin::ReadParts(CStream& stream, DWORD length) {
  ReadPartBitmaps(stream, length, kPartTags, kPartCount, m_Parts);
  for (const CDIBitmap* part : m_Parts)
    if (!part) ThrowCorruptedFile();
  CheckGrid();
}

// The painters copy whole columns and rows across parts and tile by the
// middle parts' sizes: the nine parts must form a grid without empty cells.
void CAuxWindowSkin::CheckGrid() const {
  for (int i = 0; i < kPartCount; ++i) {
    const CDIBitmap& part = *m_Parts[i];
    if (part.GetWidth() == 0 || part.GetHeight() == 0) ThrowCorruptedFile();
    if (part.GetWidth() != m_Parts[i % 3]->GetWidth() || part.GetHeight() != m_Parts[i / 3 * 3]->GetHeight())
      ThrowCorruptedFile();
  }
}

void CAuxWindowSkin::ReadMasks(CStream& stream, DWORD length) {
  ReadPartMasks(stream, length, kMaskTags, kPartCount, m_Parts, m_Masks);
}

void CAuxWindowSkin::ReadSettings(CStream& stream, DWORD length) {
  if (length < kSettingsSize) ThrowCorruptedFile();
  m_Margins.left = ReadI32(stream);
  m_Margins.top = ReadI32(stream);
  m_Margins.right = ReadI32(stream);
  m_Margins.bottom = ReadI32(stream);
  m_HorzExpansionType = ReadI32(stream);
  m_VertExpansionType = ReadI32(stream);
  if ((m_HorzExpansionType != kStretch && m_HorzExpansionType != kTile) ||
      (m_VertExpansionType != kStretch && m_VertExpansionType != kTile))
    ThrowCorruptedFile();
  m_HorzExpansionCut = ReadU32(stream) & 1;
  m_VertExpansionCut = ReadU32(stream) & 1;
  m_CaptionRect = ReadRectRecord(stream);
  SkipExact(stream, length - kSettingsSize);
}

void CAuxWindowSkin::SaveCompiled(CStream& stream) const {
  WriteChunk(stream, kTagSBMP, [&] { WritePartBitmaps(stream, kPartTags, kPartCount, m_Parts); });
  WriteChunk(stream, kTagSMSK, [&] { WritePartMasks(stream, kMaskTags, kPartCount, m_Masks); });
  if (m_CaptionFont) WriteChunk(stream, kTagSCFT, [&] { WriteFont(stream, *m_CaptionFont); });
  WriteChunk(stream, kTagSMSC, [&] {
    for (INT value : {m_Margins.left, m_Margins.top, m_Margins.right, m_Margins.bottom, m_HorzExpansionType,
                      m_VertExpansionType, static_cast<INT>(m_HorzExpansionCut), static_cast<INT>(m_VertExpansionCut)})
      WriteI32(stream, value);
    WriteRectRecord(stream, m_CaptionRect);
  });
}

void CAuxWindowSkin::CollectColors(CColorTable& table) const {
  for (const CDIBitmap* part : m_Parts)
    if (part) part->CollectColors(table, false);
  if (m_CaptionFont && m_CaptionFont->GetBitmap()) m_CaptionFont->GetBitmap()->CollectColors(table, false);
}
