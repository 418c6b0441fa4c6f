// Fonts and text: CreateFont, metrics, extents, TextOut and DrawText.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceContext.h"
#include "Font.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

using namespace twl::gdi;

namespace {

std::shared_ptr<Font> FontOf(const DeviceContext& dc) {
  if (!dc.fontObject) SetLastError(ERROR_INVALID_HANDLE);
  return dc.fontObject;
}

// One line of text at a device position: the cell filled with the
// background colour when the mode is OPAQUE, then the glyphs.
void DrawLine(DeviceContext& dc, const Font& font, POINT device, std::string_view text, const RECT& clip) {
  if (!dc.surface) return;
  if (dc.bkMode == OPAQUE) {
    SIZE size = font.Measure(text);
    RECT cell{std::max<LONG>(device.x, clip.left), std::max<LONG>(device.y, clip.top),
              std::min<LONG>(device.x + size.cx, clip.right), std::min<LONG>(device.y + size.cy, clip.bottom)};
    COLORREF bk = dc.surface->Quantize(dc.bkColour);
    if (cell.right > cell.left && cell.bottom > cell.top)
      dc.ForEachSpan(cell, [&](int y, int left, int right) {
        for (int x = left; x < right; ++x) dc.surface->SetPixel(x, y, bk);
      });
  }
  font.Draw(*dc.surface, clip, dc.mask ? &*dc.mask : nullptr, device.x, device.y, text, dc.textColour);
}

// Text as DrawText shows it: '&' prefixes removed.
std::string WithoutPrefixes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    else if (text[i] == '&') continue;
    out += text[i];
  }
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// Greedy wrapping at spaces; a word wider than the line stays whole.
void WrapLine(const Font& font, const std::string& line, int width, std::vector<std::string>* out) {
  std::string rest = line;
  while (!rest.empty()) {
    std::vector<int> widths = font.PrefixWidths(rest);
    if (widths.back() <= width) {
      out->push_back(rest);
      return;
    }
    size_t fit = 0;
    while (fit < rest.size() && widths[fit] <= width) ++fit;
    size_t space = rest.rfind(' ', fit);
    size_t cut = space != std::string::npos && space > 0 ? space : rest.find(' ', fit);
    if (cut == std::string::npos) {
      out->push_back(rest);
      return;
    }
    out->push_back(rest.substr(0, cut));
    size_t next = rest.find_first_not_of(' ', cut);
    rest = next == std::string::npos ? std::string() : rest.substr(next);
  }
  if (line.empty()) out->push_back(line);
}

// Cuts the line at a character boundary so that it and "..." fit.
std::string WithEllipsis(const Font& font, const std::string& line, int width) {
  std::vector<int> widths = font.PrefixWidths(line);
  if (widths.empty() || widths.back() <= width) return line;
  int dots = font.Measure("...").cx;
  size_t keep = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    bool boundary = i + 1 == line.size() || (static_cast<unsigned char>(line[i + 1]) & 0xC0) != 0x80;
    if (boundary && widths[i] + dots <= width) keep = i + 1;
  }
  return line.substr(0, keep) + "...";
}

}  // namespace

TWLAPI HFONT CreateFontIndirectA(const LOGFONTA* log) {
  if (!log) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto font = Font::Create(*log);
  if (!font) return nullptr;
  return static_cast<HFONT>(InsertObject(std::move(font)));
}

TWLAPI HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA log{};
  log.lfHeight = height;
  log.lfWidth = width;
  log.lfEscapement = escapement;
  log.lfOrientation = orientation;
  log.lfWeight = weight;
  log.lfItalic = italic ? 1 : 0;
  log.lfUnderline = underline ? 1 : 0;
  log.lfStrikeOut = strikeOut ? 1 : 0;
  log.lfCharSet = static_cast<BYTE>(charSet);
  log.lfOutPrecision = static_cast<BYTE>(outPrecision);
  log.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  log.lfQuality = static_cast<BYTE>(quality);
  log.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&log);
}

TWLAPI BOOL GetTextMetricsA(HDC handle, LPTEXTMETRICA metrics) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  auto font = FontOf(*dc);
  if (!font || !metrics) return FALSE;
  *metrics = font->Metrics();
  return TRUE;
}

TWLAPI BOOL GetTextExtentPoint32A(HDC handle, LPCSTR text, int length, LPSIZE size) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  auto font = FontOf(*dc);
  if (!font) return FALSE;
  if (!size || length < 0 || (length > 0 && !text)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *size = font->Measure(std::string_view(text ? text : "", static_cast<size_t>(length)));
  return TRUE;
}

TWLAPI BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  auto font = FontOf(*dc);
  if (!font) return FALSE;
  if (length < 0 || (length > 0 && !text)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string_view line(text ? text : "", static_cast<size_t>(length));
  SIZE size = font->Measure(line);
  bool updateCp = dc->textAlign & TA_UPDATECP;
  if (updateCp) {
    x = dc->position.x;
    y = dc->position.y;
  }
  UINT horizontal = dc->textAlign & TA_CENTER;
  int left = horizontal == TA_CENTER ? x - size.cx / 2 : horizontal == TA_RIGHT ? x - size.cx : x;
  UINT vertical = dc->textAlign & TA_BASELINE;
  int top = vertical == TA_BASELINE ? y - font->Metrics().tmAscent : vertical == TA_BOTTOM ? y - size.cy : y;
  POINT at = dc->ToDevice(left, top);
  PixelAccess access(*dc, dc->ToDeviceClipped(RECT{left, top, left + size.cx, top + size.cy}));
  DrawLine(*dc, *font, at, line, dc->DrawableArea());
  if (updateCp) dc->position.x = horizontal == TA_RIGHT ? x - size.cx : x + size.cx;
  return TRUE;
}

TWLAPI int DrawTextA(HDC handle, LPCSTR text, int length, LPRECT rect, UINT format) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  auto font = FontOf(*dc);
  if (!font) return 0;
  if (!rect || (!text && length != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view raw = length < 0 ? std::string_view(text) : std::string_view(text ? text : "", length);
  std::string shown = format & DT_NOPREFIX ? std::string(raw) : WithoutPrefixes(raw);

  int width = rect->right - rect->left;
  std::vector<std::string> lines;
  if (format & DT_SINGLELINE) {
    std::replace(shown.begin(), shown.end(), '\r', ' ');
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    lines.push_back(shown);
  } else {
    for (const std::string& line : SplitLines(shown)) {
      if (format & DT_WORDBREAK) WrapLine(*font, line, width, &lines);
      else lines.push_back(line);
    }
  }
  if (format & DT_END_ELLIPSIS) {
    for (std::string& line : lines) line = WithEllipsis(*font, line, width);
  }

  int lineHeight = font->Metrics().tmHeight;
  int total = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const std::string& line : lines) widest = std::max<int>(widest, font->Measure(line).cx);
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }

  int top = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (format & DT_BOTTOM) top = rect->bottom - lineHeight;
  }
  RECT clip = format & DT_NOCLIP ? dc->DrawableArea() : dc->ToDeviceClipped(*rect);
  PixelAccess access(*dc, clip);
  for (size_t i = 0; i < lines.size(); ++i) {
    int lineWidth = font->Measure(lines[i]).cx;
    int left = rect->left;
    if (format & DT_CENTER) left = rect->left + (width - lineWidth) / 2;
    else if (format & DT_RIGHT) left = rect->right - lineWidth;
    int y = top + static_cast<int>(i) * lineHeight;
    DrawLine(*dc, *font, dc->ToDevice(left, y), lines[i], clip);
  }
  if (format & (DT_VCENTER | DT_BOTTOM) && format & DT_SINGLELINE) return top - rect->top + total;
  return total;
}
