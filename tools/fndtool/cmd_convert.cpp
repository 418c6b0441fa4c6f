// fndtool convert: reads a picture file (BMP, GIF, XTRMPIC, IMG_IMAGE) into
// a CDIBitmap, changes it to another pixel format and writes it as a BMP,
// for checking the conversions with other programs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "driver/Command.h"
#include "foundation/bitmaps/BitmapInfo.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/Error.h"

namespace {

bool SaveBmp(const std::string& path, CDIBitmap& bitmap, std::string& problem) {
  if (!bitmap.BuildBitmapInfo()) {
    problem = "this pixel format cannot be written as a BMP file";
    return false;
  }
  const size_t pixelOffset = kBitmapFileHeaderSize + bitmap.GetBitmapInfoSize();
  BITMAPFILEHEADER header{};
  header.bfType = kBitmapFileType;
  header.bfSize = static_cast<DWORD>(std::min<size_t>(pixelOffset + bitmap.GetDataSize(), 0xFFFFFFFF));
  header.bfOffBits = static_cast<DWORD>(pixelOffset);
  BYTE fileHeader[kBitmapFileHeaderSize];
  WriteBitmapFileHeader(fileHeader, header);

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(fileHeader), sizeof fileHeader);
  file.write(reinterpret_cast<const char*>(bitmap.GetBitmapInfo()), static_cast<std::streamsize>(bitmap.GetBitmapInfoSize()));
  file.write(reinterpret_cast<const char*>(bitmap.GetPixels()), bitmap.GetDataSize());
  file.close();
  if (!file) {
    problem = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

// The colours (0x00BBGGRR) of a bitmap, up to `limit` different ones;
// false when there are more.
bool CollectDistinctColors(const CDIBitmap& bitmap, size_t limit, std::vector<DWORD>& colors) {
  CDIBitmap copy;
  copy.Copy(bitmap);
  copy.SetColorKeyFlag(false);
  CPixelFormat entries;
  entries.SetChannelBits(8, 8, 8, 0, 32);
  copy.ChangeFormat(entries, nullptr, 1, 0);
  std::set<DWORD> seen;
  const DWORD* pixels = reinterpret_cast<const DWORD*>(copy.GetPixels());
  for (size_t i = 0; i < static_cast<size_t>(copy.GetWidth()) * copy.GetHeight(); ++i) {
    DWORD pixel;
    std::memcpy(&pixel, pixels + i, sizeof pixel);
    seen.insert(pixel);
    if (seen.size() > limit) return false;
  }
  colors.assign(seen.begin(), seen.end());
  return true;
}

// The palette of a palettized target: the source's own palette, or the
// source's colours when there are few enough, else a 3-3-2 colour cube.
std::vector<DWORD> ChoosePalette(const CDIBitmap& source) {
  const CColorPalette* palette = source.GetFormat().GetPalette();
  if (source.GetFormat().IsPalettized() && palette && palette->GetCount() <= 256)
    return std::vector<DWORD>(palette->GetEntries(), palette->GetEntries() + palette->GetCount());
  std::vector<DWORD> colors;
  if (CollectDistinctColors(source, 256, colors)) return colors;
  colors.clear();
  for (DWORD i = 0; i < 256; ++i) {
    const DWORD red = (i & 7) * 255 / 7, green = ((i >> 3) & 7) * 255 / 7, blue = (i >> 6) * 255 / 3;
    colors.push_back(red | green << 8 | blue << 16);
  }
  return colors;
}

// A 5-6-5 inverse colour map to the nearest palette entry.
void FillInverseTable(CColorTable& table, const std::vector<DWORD>& palette) {
  table.Setup(5, 6, 5, 8);
  for (DWORD index = 0; index < table.GetCellCount(); ++index) {
    // The middle of the cell's colour range.
    const DWORD red = (index & 0x1F) << 3 | 4, green = ((index >> 5) & 0x3F) << 2 | 2, blue = (index >> 11) << 3 | 4;
    const INT nearest = FindNearestColor(palette.data(), static_cast<INT>(palette.size()), red | green << 8 | blue << 16);
    table.SetCell(index << table.GetCellShift(), static_cast<DWORD>(std::max(nearest, 0)));
  }
}

bool ParseFormat(const std::string& name, CPixelFormat& format) {
  if (name == "rgb565")
    format.SetMasks(16, 0xF800, 0x7E0, 0x1F);
  else if (name == "rgb555")
    format.SetMasks(16, 0x7C00, 0x3E0, 0x1F);
  else if (name == "rgb24")
    format.SetMasks(24, 0xFF0000, 0xFF00, 0xFF);
  else if (name == "rgb32")
    format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF);
  else if (name == "pal8")
    format.SetIndexed(8, nullptr);
  else
    return false;
  return true;
}

int Convert(const std::string& inPath, const std::string& outPath, const CPixelFormat& requested) {
  std::string problem;
  CDIBitmap bitmap;
  bitmap.Load(inPath.c_str());

  CPixelFormat target = requested;
  CColorTable table;
  if (target.IsPalettized()) {
    const std::vector<DWORD> colors = ChoosePalette(bitmap);
    CColorPalette* palette = new CColorPalette;
    palette->SetEntries(static_cast<DWORD>(colors.size()), colors.data());
    target.SetPalette(palette);
    palette->Release();
    FillInverseTable(table, colors);
  }
  bitmap.ChangeFormat(target, &table);
  if (!SaveBmp(outPath, bitmap, problem)) return tool::Fail(problem);
  std::printf("%s: %ux%u, %u bits per pixel\n", outPath.c_str(), bitmap.GetWidth(), bitmap.GetHeight(),
              bitmap.GetFormat().bitsPerPixel);
  return 0;
}

}  // namespace

TOOL_COMMAND(RunConvert, "convert",
                "IN OUT.bmp FORMAT\n"
                "      convert a BMP, GIF, XTRMPIC or IMG_IMAGE file to a BMP file of FORMAT\n"
                "      (rgb565, rgb555, rgb24, rgb32, pal8)") {
  if (args.size() != 3) return tool::Fail("convert takes IN OUT.bmp FORMAT");
  CPixelFormat format;
  if (!ParseFormat(args[2], format)) return tool::Fail("unknown format '" + args[2] + "'");
  try {
    return Convert(args[0], args[1], format);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(text);
  }
}
