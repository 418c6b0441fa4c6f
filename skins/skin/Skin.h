// CSkin: one whole skin: the main window and control window of every
// display mode (0 normal, 1 small, 2 mini), the auxiliary window frame,
// the skin-wide colours and fonts, and the skin's information. Loaded from
// a skin folder or a compiled skin file, saved as a compiled file, and
// handed to the renderers, which take its pictures and masks over; a skin
// is loaded for one renderer build and discarded afterwards.
//
// A loaded skin holds the main windows of modes 0 and 1, the control
// window of mode 0, the frame and the information; the other modes are
// optional. Every load starts empty and ends loaded or, on failure, empty
// again. User-interface thread only; no lock of its own.
#pragma once

#include <windows.h>

#include "skins/base/SkinBase.h"
#include "skins/compiled/SkinElementChunks.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/info/SkinInfo.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

class CColorTable;
class CStream;
struct CInnerStream;

class CSkin : public CSkinBase {
  TWL_DECLARE_CLASS(CSkin)
 public:
  static constexpr int kModeCount = 3;
  static constexpr INT kMaxCharacterWidth = 12;
  static constexpr INT kMaxFontHeight = 16;

  CSkin() noexcept = default;
  CSkin(const CSkin&) = delete;
  CSkin& operator=(const CSkin&) = delete;
  ~CSkin() override;

  // A folder path ending with a separator; throws, cleared.
  void LoadFromFolder(const char* folder);
  void LoadCompiledFile(const char* url);
  void LoadCompiled(CStream& stream);
  // Replaces the main window and control window of one mode by those of a
  // compiled skin (the built-in one completes skins without a mini mode).
  // The loaded flag is not touched; nothing is version-checked. A fault in
  // the skin data leaves the mode without either description, never with
  // one of them half made.
  void LoadModeFromCompiled(int mode, CStream& stream);
  // Writes a compiled file; on failure the skin is cleared (it is a
  // temporary) and the error passes on.
  void SaveCompiled(const char* url, bool packed);
  void WriteCompiled(CStream& stream, bool packed);
  void Clear();
  // Throws when the skin needs a newer player than the running one.
  void CheckPlayerVersion() const;
  void CollectColors(CColorTable& table) const;

  bool IsLoaded() const { return m_Loaded; }
  // Modes 0 and 1 always; mode 2 only when loaded.
  CMainWindowSkin* GetMainWindowSkin(int mode);
  // Mode 0 always; modes 1 and 2 only when loaded.
  CControlWindowSkin* GetControlWindowSkin(int mode);
  CAuxWindowSkin* GetAuxWindowSkin() { return &m_AuxWindow; }
  CSkinColorSet* GetColorSet() { return &m_Colors; }
  CSkinFontSet* GetFontSet() { return &m_Fonts; }
  CSkinInfo& GetInfo() { return m_Info; }

 private:
  void LoadFolderParts(const char* folder);
  // Every description bound to its compiled chunk.
  CSkinElementChunks::Elements BindElements();
  template <class Use>
  void WithFile(const char* url, DWORD flags, Use use);
  void CheckFonts() const;
  void ReadMode(int mode, CStream& stream, DWORD length);
  void ReadModeChunks(int mode, CInnerStream& inner, bool& changed);

  bool m_Loaded = false;
  CMainWindowSkin m_MainWindows[kModeCount];
  CControlWindowSkin m_ControlWindows[kModeCount];
  CAuxWindowSkin m_AuxWindow;
  CSkinInfo m_Info;
  CSkinColorSet m_Colors;
  CSkinFontSet m_Fonts;
};
