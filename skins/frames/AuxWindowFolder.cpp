// Loading the auxiliary window frame from a skin folder: the picture, a
// map picture whose colours mark the four borders, the caption area and
// the transparent pixels, and the ini file that points at those colours.
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"
#include "skins/base/FolderMessages.h"
#include "skins/base/LoadCleared.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/masks/Mask.h"

namespace {

const char* const kIniName = "AuxWindow.ini";

enum Point { kLeft, kTop, kRight, kBottom, kCaption, kTransparent, kPointCount };
const char* const kPointNames[kPointCount] = {"Left", "Top", "Right", "Bottom", "Caption", "Transparent"};

bool Intersect(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

[[noreturn]] void ThrowFrameError(const char* key, const char* text) {
  ThrowSkinError(kSkinErrorCaption, SkinText(key, text));
}

}  // namespace

class AuxWindowFolderLoader {
 public:
  AuxWindowFolderLoader(CAuxWindowSkin& skin, const char* folder) : m_Skin(skin), m_Folder(folder) {}

  void Load() {
    LoadPictures();
    ReadIni();
    BuildFrame();
    m_Picture.reset();
    m_Map.reset();
    m_Skin.m_CaptionFont = CSkinBase::LoadFont(m_Folder, "", "fontAuxWindowCaption", "");
  }

 private:
  void LoadPictures() {
    m_Picture.reset(CSkinBase::LoadBitmap(m_Folder, "", "AuxWindow", ""));
    m_Map.reset(CSkinBase::LoadBitmap(m_Folder, "", "AuxWindowMask", ""));
    CStr errors;
    if (!m_Picture) errors += BitmapNotFoundLine("AuxWindow");
    if (!m_Map) errors += BitmapNotFoundLine("AuxWindowMask");
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaptionCapital, errors);
    if (m_Map->GetWidth() != m_Picture->GetWidth() || m_Map->GetHeight() != m_Picture->GetHeight())
      ThrowSkinError(kSkinErrorCaptionCapital,
                     BitmapsDifferentSizeLine("AuxWindowMask", m_Map->GetWidth(), m_Map->GetHeight(), "AuxWindow",
                                              m_Picture->GetWidth(), m_Picture->GetHeight()));
  }

  void ReadIni() {
    CIniData items;
    for (int i = 0; i < kPointCount; ++i) items.AddItem(new CIniPointItem(kPointNames[i], &m_Points[i], &m_Given[i]));
    DWORD horzType = CVarSizeWindowSkin::kStretch, vertType = CVarSizeWindowSkin::kStretch;
    items.AddItem(new CIniMarginsItem("Margins", &m_Skin.m_Margins));
    items.AddItem(new CIniExpansionTypeItem("HorzExpansionType", &horzType));
    items.AddItem(new CIniExpansionTypeItem("VertExpansionType", &vertType));
    items.AddItem(new CIniBooleanItem("HorzExpansionCut", &m_Skin.m_HorzExpansionCut));
    items.AddItem(new CIniBooleanItem("VertExpansionCut", &m_Skin.m_VertExpansionCut));
    CStr errors;
    try {
      CIniParser().ParseFile(CStr(m_Folder) + "/" + kIniName, items, errors);
    } catch (CError* error) {
      if (!IsFileNotFound(error)) throw;
      DisposeError(error);
      ThrowSkinError(kSkinErrorCaptionCapital, FileNotFoundText(kIniName));
    }
    m_Skin.m_HorzExpansionType = static_cast<INT>(horzType);
    m_Skin.m_VertExpansionType = static_cast<INT>(vertType);
    for (int i = 0; i < kPointCount; ++i) {
      if (m_Given[i] && !PointInside(m_Points[i], m_Picture->GetWidth(), m_Picture->GetHeight()))
        errors += PointOutsideBitmapLine(kPointNames[i], kIniName, m_Points[i], m_Picture->GetWidth(),
                                         m_Picture->GetHeight());
    }
    for (int i = kLeft; i <= kBottom; ++i)
      if (!m_Given[i]) errors += EntryNotFoundLine(kPointNames[i], kIniName);
    if (!errors.IsEmpty()) ThrowSkinError(kSkinErrorCaption, errors);
  }

  RECT BoundsOfColorAt(POINT point) const {
    RECT bounds;
    CSkinBase::FindColorBounds(&bounds, reinterpret_cast<const DWORD*>(m_Map->GetPixels()),
                               static_cast<INT>(m_Map->GetWidth()), static_cast<INT>(m_Map->GetHeight()),
                               static_cast<INT>(m_Map->GetBytesPerRow() + m_Map->GetRowPadding()),
                               CSkinBase::MapValueAt(*m_Map, point));
    return bounds;
  }

  void BuildFrame() {
    CSkinBase::ConvertToMapFormat(*m_Map);
    RECT borders[4];
    for (int i = kLeft; i <= kBottom; ++i) {
      borders[i] = BoundsOfColorAt(m_Points[i]);
      for (int j = kLeft; j < i; ++j)
        if (Intersect(borders[i], borders[j]))
          ThrowFrameError("SkinError.AuxWindow.BoundingRectsOfBorderMasksIntersect",
                          "The bounding rectangles of the masks defining the left, top, right and bottom borders of "
                          "AuxWindow must not intersect.");
    }
    const INT a = borders[kLeft].right, b = borders[kRight].left;
    const INT c = borders[kTop].bottom, d = borders[kBottom].top;
    const INT width = static_cast<INT>(m_Picture->GetWidth()), height = static_cast<INT>(m_Picture->GetHeight());
    if (a == b)
      ThrowFrameError("SkinError.AuxWindow.LeftRightBordersTouch",
                      "The left and right borders of the AuxWindow must be at least one pixel apart.");
    if (c == d)
      ThrowFrameError("SkinError.AuxWindow.TopBottomBordersTouch",
                      "The top and bottom borders of the AuxWindow must be at least one pixel apart.");
    if (b < a)
      ThrowFrameError("SkinError.AuxWindow.LeftBorderNotLeftOfRightBorder",
                      "The left border of AuxWindow must be to the left of the right border.");
    if (d < c)
      ThrowFrameError("SkinError.AuxWindow.TopBorderNotAboveBottomBorder",
                      "The top border of AuxWindow must be above the bottom border.");

    const INT columns[4] = {0, a, b, width};
    const INT rows[4] = {0, c, d, height};
    for (int i = 0; i < CAuxWindowSkin::kPartCount; ++i) {
      const RECT part{columns[i % 3], rows[i / 3], columns[i % 3 + 1], rows[i / 3 + 1]};
      if (m_Given[kTransparent])
        m_Skin.m_Masks[i] = CSkinBase::CreateVisibilityMask(*m_Map, part, CSkinBase::MapValueAt(*m_Map, m_Points[kTransparent]));
      m_Skin.m_Parts[i] = CSkinBase::CopyBitmapRect(*m_Picture, part);
    }
    if (m_Given[kCaption]) m_Skin.m_CaptionRect = BoundsOfColorAt(m_Points[kCaption]);
  }

  CAuxWindowSkin& m_Skin;
  const char* m_Folder;
  BitmapPtr m_Picture;
  BitmapPtr m_Map;
  POINT m_Points[kPointCount] = {};
  bool m_Given[kPointCount] = {};
};

void CAuxWindowSkin::LoadFromFolder(const char* folder) {
  LoadCleared(*this, [&] {
    m_Margins = RECT{};
    m_HorzExpansionType = m_VertExpansionType = kStretch;
    m_HorzExpansionCut = m_VertExpansionCut = true;
    m_CaptionRect = RECT{};
    AuxWindowFolderLoader(*this, folder).Load();
  });
}
