// Loading a control window frame from a skin folder: the picture, a map
// picture whose colours mark the three bands and the transparent pixels,
// the ini file that points at them, and the optional colours and fonts.
#include <windows.h>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"
#include "skins/base/FolderMessages.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/masks/Mask.h"

namespace {

enum Point { kTop, kMid, kBottom, kTransparent, kPointCount };
const char* const kPointNames[kPointCount] = {"Top", "Mid", "Bottom", "Transparent"};

// The two name families of the pictures.
struct Family {
  const char* picture;
  const char* mask;
};
constexpr Family kViewerFamily{"ViewerWindow", "ViewerWindowMask"};
constexpr Family kControlFamily{"ControlWindow", "ControlWindowMask"};

bool FileExists(const CStr& path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool RowsIntersect(const RECT& a, const RECT& b) { return a.top < b.bottom && b.top < a.bottom; }

CStr Number(long long value) { return CStr::Format("%lld", value); }

}  // namespace

class ControlWindowFolderLoader {
 public:
  ControlWindowFolderLoader(CControlWindowSkin& skin, const char* folder, const char* prefix)
      : m_Skin(skin), m_Folder(folder), m_Prefix(prefix) {}

  void Load() {
    LoadPictures();
    CheckPictures();
    ReadIni();
    m_Skin.m_Colors.LoadFromFolder(m_Folder, m_Prefix + "ControlWindowColors.ini");
    m_Skin.m_Fonts.LoadFromFolder(m_Folder, m_Prefix + "ControlWindow");
    BuildBands();
  }

 private:
  void LoadPictures() {
    m_Picture.reset(CSkinBase::LoadBitmap(m_Folder, m_Prefix, kViewerFamily.picture, ""));
    if (!m_Picture) {
      m_Picture.reset(CSkinBase::LoadBitmap(m_Folder, m_Prefix, kControlFamily.picture, ""));
      if (m_Picture) m_Family = kControlFamily;
    }
    m_Map.reset(CSkinBase::LoadBitmap(m_Folder, m_Prefix, m_Family.mask, ""));
    CStr errors;
    if (!m_Picture) errors += BitmapNotFoundLine(m_Prefix + kViewerFamily.picture);
    if (!m_Map) errors += BitmapNotFoundLine(m_Prefix + m_Family.mask);
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaptionCapital, errors);
  }

  void CheckPictures() {
    CStr errors;
    if (m_Picture->GetWidth() < static_cast<DWORD>(CControlWindowSkin::kClientWidth))
      errors += SkinText("SkinError.BitmapWidthTooSmall", "The bitmap '%BITMAP%' must have a width of at least %WIDTH% pixels.",
                         {{"%BITMAP%", m_Prefix + m_Family.picture}, {"%WIDTH%", Number(CControlWindowSkin::kClientWidth)}}) +
                "\n";
    if (m_Map->GetWidth() != m_Picture->GetWidth() || m_Map->GetHeight() != m_Picture->GetHeight())
      errors += BitmapsDifferentSizeLine(m_Prefix + m_Family.mask, m_Map->GetWidth(), m_Map->GetHeight(),
                                         m_Prefix + m_Family.picture, m_Picture->GetWidth(), m_Picture->GetHeight());
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaptionCapital, errors);
  }

  // prefix + "ViewerWindow.ini", or prefix + "ControlWindow.ini" when only
  // that one exists.
  CStr IniName() const {
    const CStr viewer = m_Prefix + "ViewerWindow.ini";
    const CStr control = m_Prefix + "ControlWindow.ini";
    if (!FileExists(CStr(m_Folder) + viewer) && FileExists(CStr(m_Folder) + control)) return control;
    return viewer;
  }

  void ReadIni() {
    const CStr fileName = IniName();
    CIniData items;
    for (int i = 0; i < kPointCount; ++i) items.AddItem(new CIniPointItem(kPointNames[i], &m_Points[i], &m_Given[i]));
    bool marginsGiven = false;
    DWORD expansionType = CVarSizeWindowSkin::kStretch;
    items.AddItem(new CIniMarginsItem("Margins", &m_Skin.m_Margins, &marginsGiven));
    items.AddItem(new CIniExpansionTypeItem("ExpansionType", &expansionType));
    items.AddItem(new CIniBooleanItem("ExpansionCut", &m_Skin.m_ExpansionCut));
    CStr errors;
    try {
      CIniParser().ParseFile(CStr(m_Folder) + "/" + fileName, items, errors);
    } catch (CError* error) {
      if (!IsFileNotFound(error)) throw;
      DisposeError(error);
      ThrowSkinError(kSkinErrorCaptionCapital, FileNotFoundText(fileName));
    }
    m_Skin.m_ExpansionType = static_cast<INT>(expansionType);
    const DWORD width = m_Picture->GetWidth(), height = m_Picture->GetHeight();
    for (int i = 0; i < kPointCount; ++i)
      if (m_Given[i] && !PointInside(m_Points[i], width, height))
        errors += PointOutsideBitmapLine(kPointNames[i], fileName, m_Points[i], width, height);
    for (int i = kTop; i <= kBottom; ++i)
      if (!m_Given[i]) errors += EntryNotFoundLine(kPointNames[i], fileName);
    const long long clientWidth =
        static_cast<long long>(width) - m_Skin.m_Margins.left - static_cast<long long>(m_Skin.m_Margins.right);
    if (clientWidth != CControlWindowSkin::kClientWidth) {
      const std::initializer_list<PlaceholderPair> values = {
          {"%FILENAME%", fileName}, {"%NEEDEDWIDTH%", Number(CControlWindowSkin::kClientWidth)},
          {"%ACTUALWIDTH%", Number(clientWidth)}};
      errors += marginsGiven
                    ? SkinText("SkinError.ControlWindow.LeftRightMarginsInvalid",
                               "The left/right margins defined in '%FILENAME%' are invalid. The client area must have "
                               "a width of exactly %NEEDEDWIDTH% pixels. The given margins would result in a width of "
                               "%ACTUALWIDTH% pixels.",
                               values)
                    : SkinText("SkinError.ControlWindow.NoLeftRightMarginsInvalid",
                               "No margins were specified in '%FILENAME%' so they are assumed to be 0. The client area "
                               "must have a width of exactly %NEEDEDWIDTH% pixels. The zero margins would result in a "
                               "width of %ACTUALWIDTH% pixels.\n",
                               values);
      errors += "\n";
    }
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaption, errors);
  }

  void BuildBands() {
    CSkinBase::ConvertToMapFormat(*m_Map);
    const INT width = static_cast<INT>(m_Map->GetWidth()), height = static_cast<INT>(m_Map->GetHeight());
    RECT bands[3];
    for (int i = kTop; i <= kBottom; ++i) {
      CSkinBase::FindColorBounds(&bands[i], reinterpret_cast<const DWORD*>(m_Map->GetPixels()), width, height,
                                 static_cast<INT>(m_Map->GetBytesPerRow() + m_Map->GetRowPadding()),
                                 CSkinBase::MapValueAt(*m_Map, m_Points[i]));
      for (int j = kTop; j < i; ++j)
        if (RowsIntersect(bands[i], bands[j]))
          ThrowSkinError(kSkinErrorCaption,
                         SkinText("SkinError.ControlWindow.BoundingRectsOfPartMasksIntersect",
                                  "The bounding rectangles of the masks defining the top, mid and bottom part of the "
                                  "control window must not intersect."));
      bands[i].left = 0;
      bands[i].right = width;
    }
    // The middle band lies between the top band's last row and the bottom
    // band's first; without a row there, the frame could not grow.
    const INT middleTop = bands[kTop].bottom, middleBottom = bands[kBottom].top;
    if (middleBottom <= middleTop)
      ThrowSkinError(kSkinErrorCaption,
                     SkinText("SkinError.ControlWindow.PartsOutOfOrder",
                              "The bottom part of the control window must lie below its top part, with at least "
                              "one row of the mid part between them."));
    const RECT parts[3] = {{0, 0, width, middleTop}, {0, middleTop, width, middleBottom}, {0, middleBottom, width, height}};
    for (int i = 0; i < CControlWindowSkin::kBandCount; ++i) {
      if (m_Given[kTransparent])
        m_Skin.m_Masks[i] = CSkinBase::CreateVisibilityMask(*m_Map, parts[i], CSkinBase::MapValueAt(*m_Map, m_Points[kTransparent]));
      m_Skin.m_Parts[i] = CSkinBase::CopyBitmapRect(*m_Picture, parts[i]);
    }
  }

  CControlWindowSkin& m_Skin;
  const char* m_Folder;
  CStr m_Prefix;
  Family m_Family = kViewerFamily;
  BitmapPtr m_Picture;
  BitmapPtr m_Map;
  POINT m_Points[kPointCount] = {};
  bool m_Given[kPointCount] = {};
};

void CControlWindowSkin::Load(const char* folder, const char* prefix) {
  LoadCleared(*this, [&] {
    m_Margins = RECT{};
    m_ExpansionType = kStretch;
    m_ExpansionCut = true;
    ControlWindowFolderLoader(*this, folder, prefix).Load();
  });
}
