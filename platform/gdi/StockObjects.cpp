#include "StockObjects.h"

#include <cstring>
#include <mutex>

#include "Bitmap.h"
#include "Font.h"
#include "Objects.h"

namespace twl::gdi {
namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

std::shared_ptr<GdiObject> MakeStockFont(const char* face, LONG height, LONG weight, BYTE pitchAndFamily) {
  LOGFONTA log{};
  log.lfHeight = height;
  log.lfWeight = weight;
  log.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
  return Font::Create(log);
}

std::shared_ptr<GdiObject> MakeStock(int index) {
  switch (index) {
    case WHITE_BRUSH:
      return std::make_shared<Brush>(false, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
      return std::make_shared<Brush>(false, RGB(192, 192, 192));
    case GRAY_BRUSH:
      return std::make_shared<Brush>(false, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
      return std::make_shared<Brush>(false, RGB(64, 64, 64));
    case BLACK_BRUSH:
      return std::make_shared<Brush>(false, RGB(0, 0, 0));
    case NULL_BRUSH:
      return std::make_shared<Brush>(true, 0);
    case WHITE_PEN:
      return std::make_shared<Pen>(PS_SOLID, 0, RGB(255, 255, 255));
    case BLACK_PEN:
      return std::make_shared<Pen>(PS_SOLID, 0, RGB(0, 0, 0));
    case NULL_PEN:
      return std::make_shared<Pen>(PS_NULL, 0, 0);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
      return MakeStockFont("Courier New", 13, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
      return MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
      return MakeStockFont("MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    default:
      return nullptr;
  }
}

HGDIOBJ Register(std::shared_ptr<GdiObject> object) {
  if (!object) return nullptr;
  object->stock = true;
  return InsertObject(std::move(object));
}

}  // namespace

HGDIOBJ StockObject(int index) {
  static std::mutex lock;
  static HGDIOBJ handles[kStockCount] = {};
  static bool made[kStockCount] = {};
  if (index < 0 || index >= kStockCount) return nullptr;
  std::lock_guard guard(lock);
  if (!made[index]) {
    handles[index] = Register(MakeStock(index));
    // A missing font file is worth trying again later; nothing else fails.
    made[index] = handles[index] != nullptr;
  }
  return handles[index];
}

HGDIOBJ StockBitmap() {
  static HGDIOBJ bitmap = Register(Bitmap::CreateDdb(1, 1, true));
  return bitmap;
}

}  // namespace twl::gdi
