#include "BitmapTestSupport.h"

#include <cstdio>

#include "foundation/bitmaps/PixelConverter.h"

namespace bitmaptest {

CPixelFormat Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  CPixelFormat format;
  format.SetMasks(bits, red, green, blue, alpha);
  return format;
}

CPixelFormat Rgb565() { return Rgb(16, 0xF800, 0x7E0, 0x1F); }
CPixelFormat Rgb555() { return Rgb(16, 0x7C00, 0x3E0, 0x1F); }
CPixelFormat Rgb24() { return Rgb(24, 0xFF0000, 0xFF00, 0xFF); }
CPixelFormat Rgb32() { return Rgb(32, 0xFF0000, 0xFF00, 0xFF); }

CPixelFormat Indexed(DWORD bits, const std::vector<DWORD>& entries) {
  CColorPalette* palette = new CColorPalette;
  palette->SetEntries(static_cast<DWORD>(entries.size()), entries.empty() ? nullptr : entries.data());
  CPixelFormat format;
  format.SetIndexed(bits, palette);
  palette->Release();
  return format;
}

std::vector<BYTE> PackRow(DWORD bits, const std::vector<DWORD>& values) {
  std::vector<BYTE> row((values.size() * bits + 7) / 8);
  for (size_t i = 0; i < values.size(); ++i) {
    if (bits < 8) {
      const size_t bit = i * bits;
      row[bit / 8] |= static_cast<BYTE>((values[i] & ((1u << bits) - 1)) << (8 - bit % 8 - bits));
      continue;
    }
    for (DWORD b = 0; b < bits / 8; ++b) row[i * (bits / 8) + b] = static_cast<BYTE>(values[i] >> (8 * b));
  }
  return row;
}

std::vector<DWORD> UnpackRow(DWORD bits, const BYTE* row, DWORD width) {
  std::vector<DWORD> values(width);
  for (DWORD i = 0; i < width; ++i) {
    if (bits < 8) {
      const size_t bit = static_cast<size_t>(i) * bits;
      values[i] = (row[bit / 8] >> (8 - bit % 8 - bits)) & ((1u << bits) - 1);
      continue;
    }
    DWORD value = 0;
    for (DWORD b = 0; b < bits / 8; ++b) value |= static_cast<DWORD>(row[i * (bits / 8) + b]) << (8 * b);
    values[i] = value;
  }
  return values;
}

void FillInverseTable(CColorTable& table, const std::vector<DWORD>& entries) {
  table.Setup(5, 6, 5, 8);
  for (DWORD index = 0; index < table.GetCellCount(); ++index) {
    const DWORD color = (index & 0x1F) << 3 | ((index >> 5) & 0x3F) << 10 | ((index >> 11) & 0x1F) << 19;
    const INT nearest = FindNearestColor(entries.data(), static_cast<INT>(entries.size()), color);
    table.SetCell(index << table.GetCellShift(), static_cast<DWORD>(nearest));
  }
}

std::string Hex(const std::vector<DWORD>& values) {
  std::string text;
  for (DWORD value : values) {
    char item[16];
    std::snprintf(item, sizeof item, "%s%X", text.empty() ? "" : " ", value);
    text += item;
  }
  return text;
}

}  // namespace bitmaptest
