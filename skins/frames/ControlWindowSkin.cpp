#include "skins/frames/ControlWindowSkin.h"

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/frames/PartChunks.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CControlWindowSkin, CVarSizeWindowSkin)

namespace {

constexpr DWORD kTagSBMP = MakeTag("SBMP");
constexpr DWORD kTagSMSK = MakeTag("SMSK");
constexpr DWORD kTagSMSC = MakeTag("SMSC");
constexpr DWORD kTagSCLR = MakeTag("SCLR");
constexpr DWORD kTagSFNT = MakeTag("SFNT");
constexpr DWORD kBandTags[CControlWindowSkin::kBandCount] = {MakeTag("BTOP"), MakeTag("BMID"), MakeTag("BBTM")};
constexpr DWORD kMaskTags[CControlWindowSkin::kBandCount] = {MakeTag("MTOP"), MakeTag("MMID"), MakeTag("MBTM")};
constexpr DWORD kSettingsSize = 24;

void MarkRead(bool& read) {
  if (read) ThrowCorruptedFile();
  read = true;
}

}  // namespace

CControlWindowSkin::~CControlWindowSkin() { Clear(); }

void CControlWindowSkin::Clear() {
  for (CDIBitmap*& part : m_Parts) ReleaseBitmap(part);
  for (CMask*& mask : m_Masks) DeleteOwned(mask);
  m_Colors.Reset();
  m_Fonts.Clear();
}

void CControlWindowSkin::AssignColorSet(const CSkinColorSet& colors) {
  for (int i = 0; i < CSkinColorSet::kColorCount; ++i) m_Colors.m_Colors[i] = colors.m_Colors[i];
  m_Colors.m_Loaded = colors.m_Loaded;
}

void CControlWindowSkin::LoadCompiled(CStream& stream, DWORD length) {
  LoadCleared(*this, [&] { ReadChunks(stream, length); });
}

void CControlWindowSkin::ReadChunks(CStream& stream, DWORD length) {
  bool bandsRead = false, masksRead = false, settingsRead = false, colorsRead = false, fontsRead = false;
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    switch (head.tag) {
      case kTagSBMP:
        MarkRead(bandsRead);
        ReadBands(stream, head.length);
        break;
      case kTagSMSK:
        if (!bandsRead) ThrowCorruptedFile();
        MarkRead(masksRead);
        ReadMasks(stream, head.length);
        break;
      case kTagSMSC:
        MarkRead(settingsRead);
        ReadSettings(stream, head.length);
        break;
      case kTagSCLR:
        MarkRead(colorsRead);
        m_Colors.Read(stream, head.length);
        break;
      case kTagSFNT:
        MarkRead(fontsRead);
        m_Fonts.Read(stream, head.length);
        break;
      default:
        SkipExact(stream, head.length);
    }
  }
  if (!bandsRead || !settingsRead) ThrowCorruptedFile();
}

void CControlWindowSkin::ReadBands(CStream& stream, DWORD length) {
  ReadPartBitmaps(stream, length, kBandTags, kBandCount, m_Parts);
  // The painters copy rows of one band's width across all three.
  for (const CDIBitmap* band : m_Parts) {
    if (!band || band->GetWidth() == 0 || band->GetHeight() == 0) ThrowCorruptedFile();
    if (band->GetWidth() != m_Parts[0]->GetWidth()) ThrowCorruptedFile();
  }
}

void CControlWindowSkin::ReadMasks(CStream& stream, DWORD length) {
  ReadPartMasks(stream, length, kMaskTags, kBandCount, m_Parts, m_Masks);
}

void CControlWindowSkin::ReadSettings(CStream& stream, DWORD length) {
  if (length < kSettingsSize) ThrowCorruptedFile();
  m_Margins.left = ReadI32(stream);
  m_Margins.top = ReadI32(stream);
  m_Margins.right = ReadI32(stream);
  m_Margins.bottom = ReadI32(stream);
  m_ExpansionType = ReadI32(stream);
  if (m_ExpansionType != kStretch && m_ExpansionType != kTile) ThrowCorruptedFile();
  m_ExpansionCut = ReadU32(stream) & 1;
  SkipExact(stream, length - kSettingsSize);
}

void CControlWindowSkin::SaveCompiled(CStream& stream) const {
  WriteChunk(stream, kTagSBMP, [&] { WritePartBitmaps(stream, kBandTags, kBandCount, m_Parts); });
  WriteChunk(stream, kTagSMSK, [&] { WritePartMasks(stream, kMaskTags, kBandCount, m_Masks); });
  WriteChunk(stream, kTagSMSC, [&] {
    for (INT value : {m_Margins.left, m_Margins.top, m_Margins.right, m_Margins.bottom, m_ExpansionType,
                      static_cast<INT>(m_ExpansionCut)})
      WriteI32(stream, value);
  });
  if (m_Colors.IsLoaded()) WriteChunk(stream, kTagSCLR, [&] { m_Colors.Write(stream); });
  if (m_Fonts.IsLoaded()) WriteChunk(stream, kTagSFNT, [&] { m_Fonts.Write(stream); });
}

void CControlWindowSkin::CollectColors(CColorTable& table) const {
  for (const CDIBitmap* part : m_Parts)
    if (part) part->CollectColors(table, false);
  if (m_Colors.IsLoaded()) m_Colors.CollectColors(table);
  if (m_Fonts.IsLoaded()) m_Fonts.CollectColors(table);
}
