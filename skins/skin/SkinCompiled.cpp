// The whole skin in its compiled form.
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/compiled/SkinElementChunks.h"
#include "skins/compiled/SkinFile.h"
#include "skins/compiled/SkinFileFormat.h"
#include "skins/skin/Skin.h"

namespace {

// Every element of the skin bound to its chunk; a skin made for a newer
// player is refused as soon as its information is read.
class WholeSkinChunks : public CSkinElementChunks {
 public:
  WholeSkinChunks(const Elements& elements, const CSkin& skin) : CSkinElementChunks(elements), m_Skin(skin) {}
  void OnInfoRead() override { m_Skin.CheckPlayerVersion(); }

 private:
  const CSkin& m_Skin;
};

void MarkRead(bool& read) {
  if (read) ThrowCorruptedFile();
  read = true;
}

}  // namespace

CSkinElementChunks::Elements CSkin::BindElements() {
  CSkinElementChunks::Elements elements;
  elements.info = &m_Info;
  elements.colors = &m_Colors;
  elements.fonts = &m_Fonts;
  for (int mode = 0; mode < kModeCount; ++mode) {
    elements.mainWindows[mode] = &m_MainWindows[mode];
    elements.controlWindows[mode] = &m_ControlWindows[mode];
  }
  elements.auxWindow = &m_AuxWindow;
  return elements;
}

void CSkin::LoadCompiled(CStream& stream) {
  WholeSkinChunks content(BindElements(), *this);
  LoadCleared(*this, [&] { ReadSkinFile(stream, content); });
  m_Loaded = true;
}

// Runs `use` on the file opened with the flags and closes it; on any error
// the file is closed without reporting its close errors, the skin is
// cleared and the error passes on.
template <class Use>
void CSkin::WithFile(const char* url, DWORD flags, Use use) {
  CStream* stream = nullptr;
  try {
    stream = GetFileSystem().Open(url, flags, 0);
    use(*stream);
    CStream* closing = stream;
    stream = nullptr;
    closing->Close();
  } catch (...) {
    if (stream) stream->CloseNoThrow();
    Clear();
    throw;
  }
}

void CSkin::LoadCompiledFile(const char* url) {
  WithFile(url, kStreamRead | kStreamBuffered | kStreamShareRead, [&](CStream& stream) { LoadCompiled(stream); });
}

void CSkin::WriteCompiled(CStream& stream, bool packed) {
  CSkinElementChunks content(BindElements());
  WriteSkinFile(stream, content, packed);
}

void CSkin::SaveCompiled(const char* url, bool packed) {
  WithFile(url, kStreamWrite | kStreamSeek | kStreamBuffered | kStreamCreateAlways,
           [&](CStream& stream) { WriteCompiled(stream, packed); });
}

void CSkin::LoadModeFromCompiled(int mode, CStream& stream) {
  if (mode < 0 || mode >= kModeCount) ThrowCorruptedFile();
  DWORD remaining = ReadSkinHeader(stream);
  // The first DATA chunk, wherever it stands; everything else is skipped.
  for (;;) {
    if (remaining == 0) ThrowCorruptedFile();
    const ChunkHead head = NextChunk(stream, remaining);
    if (head.tag == kTagDATA) {
      ReadMode(mode, stream, head.length);
      return;
    }
    SkipExact(stream, head.length);
  }
}

// Either both descriptions of the mode come from the data or, once one of
// them was touched, the mode is left without either: a main window beside a
// control window that lacks its colours would reach the renderers half
// made. Faults found before a description is read change nothing.
void CSkin::ReadMode(int mode, CStream& stream, DWORD length) {
  CInnerStream inner = OpenInnerStream(stream, length);
  bool changed = false;
  try {
    ReadModeChunks(mode, inner, changed);
  } catch (...) {
    if (changed) {
      m_MainWindows[mode].Clear();
      m_ControlWindows[mode].Clear();
    }
    throw;
  }
}

// The inner stream is read only until the mode's two windows and the
// colours are found. A control window that brings no colours or fonts of
// its own gets the skin-wide ones of that file.
void CSkin::ReadModeChunks(int mode, CInnerStream& inner, bool& changed) {
  CSkinColorSet colors;
  CSkinFontSet fonts;
  bool mainRead = false, controlRead = false, colorsRead = false, fontsRead = false;
  CMainWindowSkin& main = m_MainWindows[mode];
  CControlWindowSkin& control = m_ControlWindows[mode];
  WalkInnerChunks(inner, [&](DWORD tag, DWORD size) {
    CStream& in = *inner.stream;
    if (tag == kMainWindowTags[mode]) {
      MarkRead(mainRead);
      changed = true;
      main.LoadCompiled(in, size);
    } else if (tag == kControlWindowTags[mode]) {
      MarkRead(controlRead);
      changed = true;
      control.LoadCompiled(in, size);
    } else if (tag == kControlWindowTags[0] && !controlRead) {
      changed = true;
      control.LoadCompiled(in, size);  // stands in until the mode's own comes
    } else if (tag == kTagCOLR) {
      MarkRead(colorsRead);
      colors.Read(in, size);
    } else if (tag == kTagFONT) {
      MarkRead(fontsRead);
      fonts.Read(in, size);
    } else {
      SkipExact(in, size);
    }
    return !(mainRead && controlRead && colorsRead);
  });
  if (!mainRead) ThrowCorruptedFile();
  if (!control.GetColorSet()) {
    if (!colorsRead) ThrowCorruptedFile();
    control.AssignColorSet(colors);
  }
  if (!control.GetFontSet()) {
    if (!fontsRead) ThrowCorruptedFile();
    control.TakeFontSet(fonts);
  }
}
