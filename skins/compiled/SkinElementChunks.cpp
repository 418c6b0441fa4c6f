#include "skins/compiled/SkinElementChunks.h"

#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/compiled/SkinFileFormat.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

CSkinElementChunks::CSkinElementChunks(const Elements& elements) : m_Elements(elements) {}

int CSkinElementChunks::ElementOfTag(DWORD tag) const {
  if (tag == kTagCOLR && m_Elements.colors) return kColors;
  if (tag == kTagFONT && m_Elements.fonts) return kFonts;
  if (tag == kTagAWND && m_Elements.auxWindow) return kAux;
  for (int mode = 0; mode < 3; ++mode) {
    if (tag == kMainWindowTags[mode] && m_Elements.mainWindows[mode]) return kMain0 + mode;
    if (tag == kControlWindowTags[mode] && m_Elements.controlWindows[mode]) return kControl0 + mode;
  }
  return -1;
}

void CSkinElementChunks::ReadElement(CStream& stream, DWORD tag, DWORD length) {
  const int element = ElementOfTag(tag);
  if (element < 0) {
    SkipExact(stream, length);
    return;
  }
  if (m_Read[element]) ThrowCorruptedFile();
  m_Read[element] = true;
  ReadBound(element, stream, length);
}

void CSkinElementChunks::ReadBound(int element, CStream& stream, DWORD length) {
  switch (element) {
    case kColors: m_Elements.colors->Read(stream, length); return;
    case kFonts: m_Elements.fonts->Read(stream, length); return;
    case kAux: m_Elements.auxWindow->LoadCompiled(stream, length); return;
    case kMain0:
    case kMain1:
    case kMain2: m_Elements.mainWindows[element - kMain0]->LoadCompiled(stream, length); return;
    default: m_Elements.controlWindows[element - kControl0]->LoadCompiled(stream, length); return;
  }
}

void CSkinElementChunks::EndElements() {
  const bool required[kElementCount] = {false,
                                        m_Elements.fonts != nullptr,
                                        m_Elements.mainWindows[0] != nullptr,
                                        m_Elements.mainWindows[1] != nullptr,
                                        false,
                                        m_Elements.controlWindows[0] != nullptr,
                                        false,
                                        false,
                                        m_Elements.auxWindow != nullptr};
  for (int element = 0; element < kElementCount; ++element)
    if (required[element] && !m_Read[element]) ThrowCorruptedFile();
}

void CSkinElementChunks::WriteElements(CStream& stream) {
  const auto write = [&stream](DWORD tag, const auto& writeElement) { CSkinBase::WriteChunk(stream, tag, writeElement); };
  if (m_Elements.colors) write(kTagCOLR, [&] { m_Elements.colors->Write(stream); });
  if (m_Elements.fonts) write(kTagFONT, [&] { m_Elements.fonts->Write(stream); });
  for (int mode = 0; mode < 3; ++mode) {
    CMainWindowSkin* main = m_Elements.mainWindows[mode];
    if (main && main->IsLoaded()) write(kMainWindowTags[mode], [&] { main->SaveCompiled(stream); });
  }
  for (int mode = 0; mode < 3; ++mode) {
    CControlWindowSkin* control = m_Elements.controlWindows[mode];
    if (control && control->IsLoaded()) write(kControlWindowTags[mode], [&] { control->SaveCompiled(stream); });
  }
  if (m_Elements.auxWindow) write(kTagAWND, [&] { m_Elements.auxWindow->SaveCompiled(stream); });
}
