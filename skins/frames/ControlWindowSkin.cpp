#include "skins/frames/ControlWindowSkin.h"

#include "display/masks/Mask.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"

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

int IndexOf(const DWORD (&tags)[CControlWindowSkin::kBandCount], DWORD tag) {
  for (int i = 0; i < CControlWindowSkin::kBandCount; ++i)
    if (tags[i] == tag) return i;
  return -1;
}

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
  Clear();
  try {
    ReadChunks(stream, length);
  } catch (...) {
    Clear();
    throw;
  }
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
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOf(kBandTags, head.tag);
    if (index < 0) {
      SkipExact(stream, head.length);
      continue;
    }
    if (m_Parts[index]) ThrowCorruptedFile();
    DWORD used = 0;
    m_Parts[index] = ReadBitmap(stream, head.length, &used);
    SkipExact(stream, head.length - used);
  }
  // The painters copy rows of one band's width across all three.
  for (const CDIBitmap* band : m_Parts) {
    if (!band || band->GetWidth() == 0 || band->GetHeight() == 0) ThrowCorruptedFile();
    if (band->GetWidth() != m_Parts[0]->GetWidth()) ThrowCorruptedFile();
  }
}

void CControlWindowSkin::ReadMasks(CStream& stream, DWORD length) {
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOf(kMaskTags, head.tag);
    if (index < 0) {
      SkipExact(stream, head.length);
      continue;
    }
    if (m_Masks[index]) ThrowCorruptedFile();
    m_Masks[index] = ReadMask(stream, head.length);
    if (static_cast<DWORD>(m_Masks[index]->GetWidth()) != m_Parts[index]->GetWidth() ||
        static_cast<DWORD>(m_Masks[index]->GetHeight()) != m_Parts[index]->GetHeight())
      ThrowCorruptedFile();
  }
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
  LONGLONG chunk = BeginChunk(stream, kTagSBMP);
  for (int i = 0; i < kBandCount; ++i) {
    if (!m_Parts[i]) continue;
    const LONGLONG band = BeginChunk(stream, kBandTags[i]);
    WriteBitmap(stream, *m_Parts[i]);
    EndChunk(stream, band);
  }
  EndChunk(stream, chunk);

  chunk = BeginChunk(stream, kTagSMSK);
  for (int i = 0; i < kBandCount; ++i) {
    if (!m_Masks[i]) continue;
    const LONGLONG mask = BeginChunk(stream, kMaskTags[i]);
    WriteMask(stream, *m_Masks[i]);
    EndChunk(stream, mask);
  }
  EndChunk(stream, chunk);

  chunk = BeginChunk(stream, kTagSMSC);
  for (INT value : {m_Margins.left, m_Margins.top, m_Margins.right, m_Margins.bottom, m_ExpansionType,
                    static_cast<INT>(m_ExpansionCut)})
    WriteI32(stream, value);
  EndChunk(stream, chunk);

  if (m_Colors.IsLoaded()) {
    chunk = BeginChunk(stream, kTagSCLR);
    m_Colors.Write(stream);
    EndChunk(stream, chunk);
  }
  if (m_Fonts.IsLoaded()) {
    chunk = BeginChunk(stream, kTagSFNT);
    m_Fonts.Write(stream);
    EndChunk(stream, chunk);
  }
}

void CControlWindowSkin::CollectColors(CColorTable& table) const {
  for (const CDIBitmap* part : m_Parts)
    if (part) part->CollectColors(table, false);
  if (m_Colors.IsLoaded()) m_Colors.CollectColors(table);
  if (m_Fonts.IsLoaded()) m_Fonts.CollectColors(table);
}
