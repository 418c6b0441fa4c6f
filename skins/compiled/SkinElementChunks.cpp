#include "skins/compiled/SkinElementChunks.h"

#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/compiled/SkinFileFormat.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

CSkinElementChunks::CSkinElementChunks(CSkinInfo& info, CSkinColorSet& colors, CSkinFontSet& fonts)
    : m_Info(info), m_Colors(colors), m_Fonts(fonts) {}

void CSkinElementChunks::MarkRead(bool& read) {
  if (read) ThrowCorruptedFile();
  read = true;
}

void CSkinElementChunks::ReadElement(CStream& stream, DWORD tag, DWORD length) {
  switch (tag) {
    case kTagCOLR:
      MarkRead(m_ColorsRead);
      m_Colors.Read(stream, length);
      return;
    case kTagFONT:
      MarkRead(m_FontsRead);
      m_Fonts.Read(stream, length);
      return;
    default:
      SkipExact(stream, length);
  }
}

void CSkinElementChunks::EndElements() {
  if (!m_FontsRead) ThrowCorruptedFile();
}

void CSkinElementChunks::WriteElements(CStream& stream) {
  LONGLONG chunk = CSkinBase::BeginChunk(stream, kTagCOLR);
  m_Colors.Write(stream);
  CSkinBase::EndChunk(stream, chunk);
  chunk = CSkinBase::BeginChunk(stream, kTagFONT);
  m_Fonts.Write(stream);
  CSkinBase::EndChunk(stream, chunk);
}
