// Loading one mode of the main window from a skin folder: five pictures of
// the whole window (four states and a map of one colour per element), the
// mode's ini file, the background animation, the fonts and bar scripts.
#include <cstring>

#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "skins/bars/BarScript.h"
#include "skins/base/FolderMessages.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"

namespace {

enum Picture { kNormal, kHover, kDown, kDisabled, kMap, kPictureCount };
const char* const kPictureStates[kPictureCount] = {"Normal", "Hover", "Down", "Disabled", "Mask"};

// The points of the ini file besides the buttons, in the order of its checks.
enum OtherPoint { kProgressBar, kVolumeBar, kDragArea, kInfo, kTime1, kTime5 = kTime1 + 4, kTransparent, kOtherCount };
const char* const kOtherNames[kOtherCount] = {"ProgressBar", "VolumeBar", "DragArea", "Info", "Time1", "Time2",
                                              "Time3",       "Time4",     "Time5",    "Transparent"};

constexpr int kButtons = CMainWindowSkin::kButtonCount;

}  // namespace

class MainWindowFolderLoader {
 public:
  MainWindowFolderLoader(CMainWindowSkin& skin, const char* folder, const char* prefix)
      : m_Skin(skin), m_Folder(folder), m_Prefix(prefix), m_IniName(m_Prefix + "MainWindow.ini") {}

  void Load() {
    LoadPictures();
    ReadIni();
    CutElements();
    LoadBackground();
    for (auto& picture : m_Pictures) picture.reset();
    for (int i = 0; i < CMainWindowSkin::kFontCount; ++i)
      m_Skin.m_Fonts[i] = CSkinBase::LoadFont(m_Folder, "font", m_Prefix, CMainWindowSkin::GetFontName(i));
    for (int k = 0; k < CMainWindowSkin::kBarCount; ++k) LoadBarScript(k);
  }

 private:
  CStr PictureName(int picture) const { return m_Prefix + "MainWindow" + kPictureStates[picture]; }
  DWORD Width() const { return m_Pictures[kNormal]->GetWidth(); }
  DWORD Height() const { return m_Pictures[kNormal]->GetHeight(); }

  void LoadPictures() {
    CStr errors;
    for (int i = 0; i < kPictureCount; ++i) {
      m_Pictures[i].reset(CSkinBase::LoadBitmap(m_Folder, m_Prefix, "MainWindow", kPictureStates[i]));
      if (!m_Pictures[i]) errors += BitmapNotFoundLine(PictureName(i));
    }
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaptionCapital, errors);
    for (int i = kHover; i < kPictureCount; ++i) {
      const CDIBitmap& picture = *m_Pictures[i];
      if (picture.GetWidth() != Width() || picture.GetHeight() != Height())
        errors += BitmapsDifferentSizeLine(PictureName(i), picture.GetWidth(), picture.GetHeight(), PictureName(kNormal),
                                           Width(), Height());
    }
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaptionCapital, errors);
  }

  void ReadIni() {
    CIniData items;
    CStr animKeys[kButtons];
    for (int i = 0; i < kButtons; ++i) {
      items.AddItem(new CIniPointItem(CMainWindowSkin::GetButtonKey(i), &m_ButtonPoints[i], &m_ButtonGiven[i]));
      animKeys[i] = CStr("Anim") + CMainWindowSkin::GetButtonKey(i);
      items.AddItem(new CIniPointItem(animKeys[i], &m_AnimPoints[i], &m_AnimGiven[i]));
    }
    for (int i = 0; i < kOtherCount; ++i) items.AddItem(new CIniPointItem(kOtherNames[i], &m_Points[i], &m_Given[i]));
    bool hookGiven = false;
    for (const char* name : {"ViewerWindowHook", "ControlWindowHook"})
      items.AddItem(new CIniPointItem(name, &m_Skin.m_ControlWindowHook, &hookGiven));
    for (const char* name : {"ViewerWindowRelativeDisplacement", "ControlWindowRelativeDisplacement"})
      items.AddItem(new CIniPercentageItem(name, &m_Skin.m_ControlWindowDisplacement));
    items.AddItem(new CIniColorItem("ColorInfoCursor", &m_Skin.m_InfoCursorColor));

    CStr errors;
    try {
      CIniParser().ParseFile(CStr(m_Folder) + "/" + m_IniName, items, errors);
    } catch (CError* error) {
      if (!IsFileNotFound(error)) throw;
      DisposeError(error);
      ThrowSkinError(kSkinErrorCaptionCapital, FileNotFoundText(m_IniName));
    }
    for (int i = 0; i < kButtons; ++i)
      if (m_ButtonGiven[i]) CheckPoint(CMainWindowSkin::GetButtonKey(i), m_ButtonPoints[i], errors);
    for (int i = 0; i < kButtons; ++i)
      if (m_AnimGiven[i]) CheckPoint(animKeys[i], m_AnimPoints[i], errors);
    for (int i = 0; i < kOtherCount; ++i)
      if (m_Given[i]) CheckPoint(kOtherNames[i], m_Points[i], errors);
    if (!hookGiven) errors += EntryNotFoundLine("ViewerWindowHook", m_IniName);
    CheckTimeEntries(errors);
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaptionCapital, errors);
  }

  void CheckPoint(const char* entry, POINT point, CStr& errors) const {
    if (!PointInside(point, Width(), Height())) errors += PointOutsideBitmapLine(entry, m_IniName, point, Width(), Height());
  }

  // A time display other than the first needs all five.
  void CheckTimeEntries(CStr& errors) const {
    bool anyLater = false;
    for (int i = kTime1 + 1; i <= kTime5; ++i) anyLater = anyLater || m_Given[i];
    if (!anyLater) return;
    for (int i = kTime1; i <= kTime5; ++i) {
      if (m_Given[i]) continue;
      errors += SkinText("CMainWindowSkin.TimeEntryNotFound",
                         "Unable to find '%ENTRYNAME%' entry in '%FILENAME%' (if you specify any 'TimeX' that is not "
                         "'Time1' you have to specify ALL entries from 'Time1' to 'Time5').",
                         {{"%ENTRYNAME%", kOtherNames[i]}, {"%FILENAME%", m_IniName}}) +
                "\n";
    }
  }

  const CDIBitmap& Map() const { return *m_Pictures[kMap]; }

  RECT BoundsAt(POINT point) const {
    RECT bounds;
    CSkinBase::FindColorBounds(&bounds, reinterpret_cast<const DWORD*>(Map().GetPixels()),
                               static_cast<INT>(Map().GetWidth()), static_cast<INT>(Map().GetHeight()), MapStride(),
                               CSkinBase::MapValueAt(Map(), point));
    return bounds;
  }
  INT MapStride() const { return static_cast<INT>(Map().GetBytesPerRow() + Map().GetRowPadding()); }
  CMask* ElementMask(POINT point, const RECT& rect) const {
    return CSkinBase::CreateMaskFromMap(reinterpret_cast<const DWORD*>(Map().GetPixels()), MapStride(), rect,
                                        CSkinBase::MapValueAt(Map(), point));
  }
  CDIBitmap* Cut(int picture, const RECT& rect) const { return CSkinBase::CopyBitmapRect(*m_Pictures[picture], rect); }

  void CutElements() {
    CSkinBase::ConvertToMapFormat(*m_Pictures[kMap]);
    for (int i = 0; i < kButtons; ++i) {
      if (!m_ButtonGiven[i]) continue;
      CButtonSkin& button = m_Skin.m_Buttons[i];
      const RECT rect = BoundsAt(m_ButtonPoints[i]);
      button.SetRect(rect);
      button.SetMask(ElementMask(m_ButtonPoints[i], rect));
      for (int state = 0; state < 4; ++state) button.SetState(state, Cut(kNormal + state, rect));
    }
    for (int i = 0; i < kButtons; ++i) {
      if (!m_AnimGiven[i]) continue;
      CAnimButtonSkin& button = m_Skin.m_AnimButtons[i];
      const RECT rect = BoundsAt(m_AnimPoints[i]);
      button.SetRect(rect);
      button.SetMask(ElementMask(m_AnimPoints[i], rect));
      for (int state = 0; state < 3; ++state) button.SetState(state, Cut(kHover + state, rect));
    }
    for (int k = 0; k < CMainWindowSkin::kBarCount; ++k) {
      if (!m_Given[kProgressBar + k]) continue;
      CBarSkin& bar = m_Skin.m_Bars[k];
      const RECT rect = BoundsAt(m_Points[kProgressBar + k]);
      bar.SetRect(rect);
      bar.SetMask(ElementMask(m_Points[kProgressBar + k], rect));
      bar.SetBitmap(Cut(kDown, rect));
    }
    if (m_Given[kDragArea]) {
      m_Skin.m_Areas[CMainWindowSkin::kDragArea] = BoundsAt(m_Points[kDragArea]);
      m_Skin.m_Masks[CMainWindowSkin::kDragMask] =
          ElementMask(m_Points[kDragArea], m_Skin.m_Areas[CMainWindowSkin::kDragArea]);
    }
    for (int i = 0; i < 5; ++i)
      if (m_Given[kTime1 + i]) m_Skin.m_Areas[CMainWindowSkin::kTime1 + i] = BoundsAt(m_Points[kTime1 + i]);
    if (m_Given[kInfo]) m_Skin.m_Areas[CMainWindowSkin::kInfo] = BoundsAt(m_Points[kInfo]);
    if (m_Given[kTransparent]) m_Skin.m_Masks[CMainWindowSkin::kWindowMask] = WindowMask();
  }

  // 1 inside the window: wherever the map is not the transparent colour.
  CMask* WindowMask() const {
    const RECT whole{0, 0, static_cast<LONG>(Width()), static_cast<LONG>(Height())};
    CMask* mask = CSkinBase::CreateVisibilityMask(Map(), whole, CSkinBase::MapValueAt(Map(), m_Points[kTransparent]));
    if (mask) return mask;
    // Every pixel is transparent: a window mask of nothing.
    mask = NewObject<CMask>();
    mask->Create(static_cast<INT>(Width()), static_cast<INT>(Height()));
    std::memset(mask->GetBytes(), 0, static_cast<size_t>(Width()) * Height());
    return mask;
  }

  void LoadBackground() {
    CStr errors;
    CBitmapAnimation& background = m_Skin.m_Background;
    if (!background.LoadFromFolder(m_Folder, m_Prefix, "MainWindowNormal", errors))
      ThrowSkinError(kSkinErrorCaptionCapital, errors);
    if (!background.SetBase(m_Pictures[kNormal].get(), m_Skin.m_Masks[CMainWindowSkin::kWindowMask], errors))
      ThrowSkinError(kSkinErrorCaptionCapital, errors);
    m_Pictures[kNormal].release();
  }

  void LoadBarScript(int k) {
    CBarSkin& bar = m_Skin.m_Bars[k];
    const RECT rect = bar.GetRect();
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const char* name = CMainWindowSkin::GetBarName(k);
    std::unique_ptr<CBarScript> script(NewObject<CBarScript>());
    CStream* stream = nullptr;
    try {
      stream = GetFileSystem().Open(CStr(m_Folder) + "\\" + m_Prefix + name + ".ini",
                                    kStreamRead | kStreamLengthKnown | kStreamShareRead, 0);
    } catch (CError* error) {
      if (!IsFileNotFound(error)) throw;
      DisposeError(error);
      return;
    }
    try {
      script->LoadFromStream(*stream);
    } catch (...) {
      stream->CloseNoThrow();
      throw;
    }
    stream->Close();
    for (INT i = 0; i < script->GetPointCount(); ++i) {
      POINT& point = script->GetPoints()[i];
      point = RelativePoint(bar, name, point, "SkinError.BarPathPointOutsideArea",
                            "The points describing the path of '%BAR%' must be inside its area (invalid point: "
                            "(%X%,%Y%), area=(%LEFT%,%TOP%,%RIGHT%,%BOTTOM%))",
                            "SkinError.BarPathPointMaskedOut",
                            "The points describing the path of '%BAR%' must not be in the region that has been masked "
                            "out (invalid point: (%X%,%Y%))");
    }
    script->SetFillPoint(RelativePoint(
        bar, name, script->GetFillPoint(), "SkinError.BarFillPointOutsideArea",
        "The fill point of '%BAR%' must be inside its area (invalid point: (%X%,%Y%), area=(%LEFT%,%TOP%,%RIGHT%,%BOTTOM%))",
        "SkinError.BarFillPointMaskedOut",
        "The fill point of '%BAR%' must not be in the region that has been masked out (invalid point: (%X%,%Y%))"));
    script->InitConnectors();
    bar.SetScript(script.release());
  }

  // The point relative to the bar's area, or the fault thrown.
  static POINT RelativePoint(const CBarSkin& bar, const char* name, POINT point, const char* outsideKey,
                             const char* outsideText, const char* maskedKey, const char* maskedText) {
    const RECT area = bar.GetRect();
    auto number = [](long long value) { return CStr::Format("%lld", value); };
    if (point.x < area.left || point.x >= area.right || point.y < area.top || point.y >= area.bottom)
      ThrowSkinError(kSkinErrorCaptionCapital,
                     SkinText(outsideKey, outsideText,
                              {{"%BAR%", name}, {"%X%", number(point.x)}, {"%Y%", number(point.y)},
                               {"%LEFT%", number(area.left)}, {"%TOP%", number(area.top)},
                               {"%RIGHT%", number(area.right)}, {"%BOTTOM%", number(area.bottom)}}));
    const POINT relative{point.x - area.left, point.y - area.top};
    if (!bar.ContainsRelativePoint(relative))
      ThrowSkinError(kSkinErrorCaptionCapital,
                     SkinText(maskedKey, maskedText,
                              {{"%BAR%", name}, {"%X%", number(relative.x)}, {"%Y%", number(relative.y)}}));
    return relative;
  }

  CMainWindowSkin& m_Skin;
  const char* m_Folder;
  CStr m_Prefix;
  CStr m_IniName;
  BitmapPtr m_Pictures[kPictureCount];
  POINT m_ButtonPoints[kButtons] = {};
  bool m_ButtonGiven[kButtons] = {};
  POINT m_AnimPoints[kButtons] = {};
  bool m_AnimGiven[kButtons] = {};
  POINT m_Points[kOtherCount] = {};
  bool m_Given[kOtherCount] = {};
};

void CMainWindowSkin::Load(const char* folder, const char* prefix) {
  LoadCleared(*this, [&] {
    m_ControlWindowHook = POINT{};
    m_ControlWindowDisplacement = 0;
    MainWindowFolderLoader(*this, folder, prefix).Load();
  });
}
