#include "skins/skin/Skin.h"

#include "foundation/appcore/PlayerVersion.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkin, CSkinBase)

namespace {

bool FileExists(const char* folder, const char* name) {
  return GetFileAttributesA(CStr(folder) + "\\" + name) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

CSkin::~CSkin() { Clear(); }

void CSkin::Clear() {
  for (auto& main : m_MainWindows) main.Clear();
  for (auto& control : m_ControlWindows) control.Clear();
  m_AuxWindow.Clear();
  m_Info.Clear();
  m_Colors.Reset();
  m_Fonts.Clear();
  m_Loaded = false;
}

CMainWindowSkin* CSkin::GetMainWindowSkin(int mode) {
  if (mode < 0 || mode >= kModeCount) return nullptr;
  if (mode == 2 && !m_MainWindows[2].IsLoaded()) return nullptr;
  return &m_MainWindows[mode];
}

CControlWindowSkin* CSkin::GetControlWindowSkin(int mode) {
  if (mode < 0 || mode >= kModeCount) return nullptr;
  if (mode != 0 && !m_ControlWindows[mode].IsLoaded()) return nullptr;
  return &m_ControlWindows[mode];
}

void CSkin::LoadFromFolder(const char* folder) {
  LoadCleared(*this, [&] { LoadFolderParts(folder); });
  m_Loaded = true;
}

// The order matters to skin authors: information and the version first, so
// that a skin for a newer player is refused before any picture is read.
void CSkin::LoadFolderParts(const char* folder) {
  if (!m_Info.LoadFromFolder(folder)) RaiseThreadError();
  CheckPlayerVersion();
  m_MainWindows[0].Load(folder, "");
  m_ControlWindows[0].Load(folder, "");
  m_MainWindows[1].Load(folder, "Sm");
  if (FileExists(folder, "SmControlWindow.ini") || FileExists(folder, "SmViewerWindow.ini"))
    m_ControlWindows[1].Load(folder, "Sm");
  if (FileExists(folder, "MiniMainWindow.ini")) m_MainWindows[2].Load(folder, "Mini");
  if (FileExists(folder, "MiniControlWindow.ini")) m_ControlWindows[2].Load(folder, "Mini");
  m_AuxWindow.LoadFromFolder(folder);
  m_Fonts.LoadFromFolder(folder, "");
  CheckFonts();
  m_Colors.LoadFromFolder(folder, "Colors.ini");
}

void CSkin::CheckFonts() const {
  CStr problems;
  const CStr normal = CStr("font") + CSkinFontSet::GetFontName(0);
  if (!m_Fonts.GetFont(0))
    problems += SkinText("SkinError.MissingFont", "Unable to find the font '%FONT%'.", {{"%FONT%", normal}}) + "\n";
  for (int i = 0; i < CSkinFontSet::kFontCount; ++i) {
    const CBitmapFont* font = m_Fonts.GetFont(i);
    if (!font) continue;
    const CStr name = CStr("font") + CSkinFontSet::GetFontName(i);
    if (font->GetGlyphHeight() > kMaxFontHeight)
      problems += SkinText("SkinError.FontHeightExceedsMax",
                           "The characters in font '%FONT%' exceed the maximum character height (%MAXHEIGHT%).",
                           {{"%FONT%", name}, {"%MAXHEIGHT%", CStr::Format("%d", kMaxFontHeight)}}) +
                  "\n";
    for (INT c = 0; c < font->GetGlyphCount(); ++c) {
      const INT width = font->GetGlyphs()[c].width;
      if (width <= kMaxCharacterWidth) continue;
      const char character[2] = {static_cast<char>(c), 0};
      problems += SkinText("SkinError.CharacterWidthExceedsMax",
                           "Character %CHARINDEX% ('%CHAR%', width: %WIDTH%) in font '%FONT%' exceeds the maximum "
                           "character width (%MAXWIDTH%).",
                           {{"%CHARINDEX%", CStr::Format("%d", c)},
                            {"%CHAR%", CStr(character)},
                            {"%WIDTH%", CStr::Format("%d", width)},
                            {"%FONT%", name},
                            {"%MAXWIDTH%", CStr::Format("%d", kMaxCharacterWidth)}}) +
                  "\n";
      break;
    }
  }
  if (problems.IsEmpty()) return;
  ThrowSkinError(kSkinErrorCaption,
                 SkinText("SkinError.LoadErrors", "The following errors occurred while loading the skin:") + "\n\n" +
                     problems);
}

void CSkin::CheckPlayerVersion() const {
  const PlayerVersion& running = GetRunningPlayerVersion();
  if (running.packed >= m_Info.m_MinVersion) return;
  const DWORD minimum = m_Info.m_MinVersion;
  ThrowSkinError(kSkinErrorCaption,
                 SkinText("SkinError.HigherPlayerVersionRequired",
                          "To use this skin you need a newer version of %PLAYER% (version %MINVER% or higher). You're "
                          "currently running version %CURVER%.",
                          {{"%PLAYER%", kProductName},
                           {"%MINVER%", CStr::Format("%d.%02d", static_cast<int>(minimum >> 16), static_cast<int>(minimum & 0xFFFF))},
                           {"%CURVER%", CStr::Format("%d.%02d", running.major, running.minor)}}));
}

void CSkin::CollectColors(CColorTable& table) const {
  m_Colors.CollectColors(table);
  m_Fonts.CollectColors(table);
  for (int mode = 0; mode < kModeCount; ++mode) {
    if (m_MainWindows[mode].IsLoaded()) m_MainWindows[mode].CollectColors(table);
    if (m_ControlWindows[mode].IsLoaded()) m_ControlWindows[mode].CollectColors(table);
  }
  m_AuxWindow.CollectColors(table);
}
