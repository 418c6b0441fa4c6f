#include "skins/base/FolderMessages.h"

#include "skins/base/SkinErrors.h"

namespace {

CStr Number(long long value) { return CStr::Format("%lld", value); }

}  // namespace

CStr BitmapNotFoundLine(const CStr& bitmap) {
  return SkinText("SkinError.BitmapNotFound", "Unable to find bitmap '%BITMAP%'.", {{"%BITMAP%", bitmap}}) + "\n";
}

CStr BitmapsDifferentSizeLine(const CStr& bitmap1, DWORD width1, DWORD height1, const CStr& bitmap2, DWORD width2,
                              DWORD height2) {
  return SkinText("SkinError.BitmapsDifferentSize",
                  "The bitmaps '%BITMAP1%' (%WIDTH1% x %HEIGHT1%) and '%BITMAP2%' (%WIDTH2% x %HEIGHT2%) must be the "
                  "same size.",
                  {{"%BITMAP1%", bitmap1},
                   {"%WIDTH1%", Number(width1)},
                   {"%HEIGHT1%", Number(height1)},
                   {"%BITMAP2%", bitmap2},
                   {"%WIDTH2%", Number(width2)},
                   {"%HEIGHT2%", Number(height2)}}) +
         "\n";
}

CStr PointOutsideBitmapLine(const char* entry, const CStr& fileName, POINT point, DWORD width, DWORD height) {
  return SkinText("SkinError.IniPointOutsideBitmap",
                  "The '%ENTRYNAME%' entry in '%FILENAME%' specifies a point (%X%,%Y%) outside the corresponding "
                  "bitmap (%BITMAPWIDTH% x %BITMAPHEIGHT%)",
                  {{"%ENTRYNAME%", entry},
                   {"%FILENAME%", fileName},
                   {"%X%", Number(point.x)},
                   {"%Y%", Number(point.y)},
                   {"%BITMAPWIDTH%", Number(width)},
                   {"%BITMAPHEIGHT%", Number(height)}}) +
         "\n";
}

CStr EntryNotFoundLine(const char* entry, const CStr& fileName) {
  return SkinText("SkinError.IniEntryNotFound", "Unable to find '%ENTRYNAME%' entry in '%FILENAME%'.",
                  {{"%ENTRYNAME%", entry}, {"%FILENAME%", fileName}}) +
         "\n";
}

CStr FileNotFoundText(const CStr& fileName) {
  return SkinText("SkinError.FileNotFound", "Unable to find '%FILE%'", {{"%FILE%", fileName}});
}

bool PointInside(POINT point, DWORD width, DWORD height) {
  return point.x >= 0 && point.y >= 0 && static_cast<DWORD>(point.x) < width && static_cast<DWORD>(point.y) < height;
}
