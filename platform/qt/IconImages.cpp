#include "IconImages.h"

#include <vector>

#include "twlwin/presenter.h"

namespace twl::qt {

namespace {

// The bitmap's pixels as 32-bit words, top row first.
bool ReadBitmap(HBITMAP bitmap, int width, int height, std::vector<uint32_t>* pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels->assign(static_cast<size_t>(width) * height, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  int lines = GetDIBits(dc, bitmap, 0, height, pixels->data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return lines == height;
}

struct NamedCursor {
  LPCSTR id;
  Qt::CursorShape shape;
};

}  // namespace

QImage IconImage(HICON icon, QPoint* hotSpot) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP size{};
  QImage image;
  std::vector<uint32_t> colour, mask;
  if (info.hbmColor && GetObjectA(info.hbmColor, sizeof size, &size) && size.bmWidth > 0 && size.bmHeight > 0 &&
      size.bmWidth <= 256 && size.bmHeight <= 256 && ReadBitmap(info.hbmColor, size.bmWidth, size.bmHeight, &colour) &&
      (!info.hbmMask || ReadBitmap(info.hbmMask, size.bmWidth, size.bmHeight, &mask))) {
    image = QImage(size.bmWidth, size.bmHeight, QImage::Format_ARGB32);
    for (int y = 0; y < size.bmHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
      for (int x = 0; x < size.bmWidth; ++x) {
        size_t at = static_cast<size_t>(y) * size.bmWidth + x;
        bool transparent = !mask.empty() && (mask[at] & 0x00FFFFFF);
        row[x] = transparent ? 0 : (colour[at] | 0xFF000000u);
      }
    }
  }
  if (hotSpot) *hotSpot = QPoint(static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return image;
}

QCursor CursorOnShow() {
  if (!TwlIsCursorShown()) return QCursor(Qt::BlankCursor);
  HCURSOR cursor = GetCursor();
  if (!cursor) return QCursor(Qt::BlankCursor);
  static const NamedCursor kNamed[] = {
      {IDC_ARROW, Qt::ArrowCursor},       {IDC_SIZEWE, Qt::SizeHorCursor},    {IDC_SIZENS, Qt::SizeVerCursor},
      {IDC_SIZENWSE, Qt::SizeFDiagCursor}, {IDC_SIZENESW, Qt::SizeBDiagCursor},
  };
  for (const NamedCursor& named : kNamed)
    if (LoadCursorA(nullptr, named.id) == cursor) return QCursor(named.shape);
  QPoint hotSpot;
  QImage image = IconImage(cursor, &hotSpot);
  if (image.isNull()) return QCursor(Qt::ArrowCursor);
  return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

}  // namespace twl::qt
