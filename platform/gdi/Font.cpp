#include "Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <unordered_map>

#include "twlwin/errors.h"

namespace twl::gdi {
namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";
// Character height used when a font asks for height 0: 8 points at 96 dpi.
constexpr int kDefaultCharHeight = 11;
// Sizes beyond this are refused: nobody draws 2000-pixel text, and a
// hostile LOGFONT must not make FreeType allocate huge glyphs.
constexpr int kMaxPixelHeight = 1000;

std::mutex& FreeTypeLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

FT_Library Library() {  // under the FreeType lock
  static FT_Library library = [] {
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0) std::fprintf(stderr, "twlwin: FreeType cannot start\n");
    return made;
  }();
  return library;
}

// Font files are read once and kept for the life of the process; faces are
// made from memory.
const std::string* FileBytes(const std::string& path) {  // under the FreeType lock
  static auto* files = new std::unordered_map<std::string, std::string>;
  auto found = files->find(path);
  if (found != files->end()) return &found->second;
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) return nullptr;
  return &files->emplace(path, std::move(bytes)).first->second;
}

std::string Lower(const char* text, size_t max) {
  std::string out;
  for (size_t i = 0; i < max && text[i]; ++i) out += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  return out;
}

bool ContainsAny(const std::string& text, std::initializer_list<const char*> words) {
  return std::any_of(words.begin(), words.end(), [&](const char* w) { return text.find(w) != std::string::npos; });
}

enum class Family { Sans, Mono, Serif };

Family FamilyFor(const LOGFONTA& log) {
  std::string face = Lower(log.lfFaceName, LF_FACESIZE);
  if (ContainsAny(face, {"courier", "mono", "console", "fixedsys", "terminal", "typewriter"})) return Family::Mono;
  if (ContainsAny(face, {"sans", "arial", "tahoma", "verdana", "helvetica", "segoe", "shell dlg"})) return Family::Sans;
  if (ContainsAny(face, {"serif", "times", "roman", "georgia", "garamond", "book"})) return Family::Serif;
  if (!face.empty()) return Family::Sans;
  int pitch = log.lfPitchAndFamily & 0x03;
  int family = log.lfPitchAndFamily & 0xF0;
  if (pitch == FIXED_PITCH || family == FF_MODERN) return Family::Mono;
  if (family == FF_ROMAN) return Family::Serif;
  return Family::Sans;
}

const char* FileFor(Family family, bool bold) {
  switch (family) {
    case Family::Mono:
      return bold ? "DejaVuSansMono-Bold.ttf" : "DejaVuSansMono.ttf";
    case Family::Serif:
      return bold ? "DejaVuSerif-Bold.ttf" : "DejaVuSerif.ttf";
    default:
      return bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf";
  }
}

const char* PathFor(Family family, bool bold) {
  static auto* paths = new std::unordered_map<std::string, std::string>;
  std::string file = FileFor(family, bold);
  auto found = paths->find(file);
  if (found == paths->end()) found = paths->emplace(file, std::string(kFontFolder) + file).first;
  return found->second.c_str();
}

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

struct Font::Face {
  FT_Face face = nullptr;
  bool italic = false;
  bool monochrome = false;
  ~Face() {
    std::lock_guard lock(FreeTypeLock());
    if (face) FT_Done_Face(face);
  }
};

char32_t DecodeUtf8(std::string_view text, size_t at, size_t* next) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char first = byte(at);
  *next = at + 1;
  int extra = first >= 0xF0 && first < 0xF5 ? 3 : first >= 0xE0 && first < 0xF0 ? 2 : first >= 0xC2 && first < 0xE0 ? 1 : 0;
  if (extra == 0 || at + extra >= text.size()) return first;
  char32_t cp = first & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return first;
    cp = (cp << 6) | (byte(at + i) & 0x3F);
  }
  bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return first;
  *next = at + extra + 1;
  return cp;
}

std::shared_ptr<Font> Font::Create(const LOGFONTA& logFont) {
  std::shared_ptr<Font> font(new Font);
  font->log_ = logFont;
  font->log_.lfFaceName[LF_FACESIZE - 1] = '\0';
  bool bold = logFont.lfWeight >= FW_SEMIBOLD;
  font->path_ = PathFor(FamilyFor(font->log_), bold);

  std::lock_guard lock(FreeTypeLock());
  const std::string* bytes = FileBytes(font->path_);
  FT_Library library = Library();
  auto face = std::make_unique<Face>();
  if (!bytes || !library ||
      FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes->data()), static_cast<FT_Long>(bytes->size()),
                         0, &face->face) != 0) {
    std::fprintf(stderr, "twlwin: cannot read the font file %s (package fonts-dejavu-core)\n", font->path_);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  FT_Face ft = face->face;
  face->italic = logFont.lfItalic != 0;
  face->monochrome = logFont.lfQuality == NONANTIALIASED_QUALITY;

  double unitsPerEm = ft->units_per_EM;
  double ascender = ft->ascender;
  double descender = -ft->descender;
  double averageWidth = unitsPerEm / 2;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      ascender = os2->usWinAscent;
      descender = os2->usWinDescent;
    }
    if (os2->xAvgCharWidth > 0) averageWidth = os2->xAvgCharWidth;
  }

  LONG height = logFont.lfHeight;
  if (height == 0) height = -kDefaultCharHeight;
  height = std::clamp<LONG>(height, -kMaxPixelHeight, kMaxPixelHeight);
  double em;
  int ascent;
  int descent;
  if (height < 0) {
    em = -height;
    ascent = Round(ascender * em / unitsPerEm);
    descent = Round(descender * em / unitsPerEm);
  } else {
    em = height * unitsPerEm / (ascender + descender);
    ascent = Round(ascender * height / (ascender + descender));
    descent = height - ascent;
  }
  double emWidth = em;
  if (logFont.lfWidth > 0) emWidth = std::min<double>(kMaxPixelHeight, logFont.lfWidth * unitsPerEm / averageWidth);
  FT_Set_Char_Size(ft, static_cast<FT_F26Dot6>(std::lround(emWidth * 64)), static_cast<FT_F26Dot6>(std::lround(em * 64)),
                   72, 72);

  TEXTMETRICA& m = font->metrics_;
  m.tmAscent = ascent;
  m.tmDescent = descent;
  m.tmHeight = ascent + descent;
  m.tmInternalLeading = std::max(0, m.tmHeight - Round(em));
  m.tmExternalLeading = 0;
  m.tmAveCharWidth = std::max(1, Round(averageWidth * emWidth / unitsPerEm));
  m.tmMaxCharWidth = std::max(1, Round(ft->max_advance_width * emWidth / unitsPerEm));
  m.tmWeight = bold ? FW_BOLD : FW_NORMAL;
  m.tmDigitizedAspectX = 96;
  m.tmDigitizedAspectY = 96;
  m.tmFirstChar = 0x20;
  m.tmLastChar = 0xFF;
  m.tmDefaultChar = '?';
  m.tmBreakChar = ' ';
  m.tmItalic = logFont.lfItalic ? 1 : 0;
  m.tmUnderlined = logFont.lfUnderline ? 1 : 0;
  m.tmStruckOut = logFont.lfStrikeOut ? 1 : 0;
  bool fixed = FT_IS_FIXED_WIDTH(ft);
  // Windows sets the pitch bit for variable pitch fonts, oddly enough.
  m.tmPitchAndFamily = static_cast<BYTE>((fixed ? FF_MODERN : FF_SWISS) | (fixed ? 0 : 1) | 0x04 /*TrueType*/);
  m.tmCharSet = logFont.lfCharSet;
  font->face_ = std::move(face);
  return font;
}

Font::~Font() = default;

const Font::Glyph& Font::GlyphFor(char32_t codePoint) const {
  auto found = glyphs_.find(codePoint);
  if (found != glyphs_.end()) return found->second;
  Glyph glyph;
  FT_Face ft = face_->face;
  FT_UInt index = FT_Get_Char_Index(ft, codePoint);
  FT_Int32 flags = FT_LOAD_NO_BITMAP | (face_->monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
  if (FT_Load_Glyph(ft, index, flags) == 0) {
    FT_GlyphSlot slot = ft->glyph;
    // The advance comes from the unhinted outline, rounded once, so it does
    // not depend on the hinter.
    glyph.advance = static_cast<int>((slot->linearHoriAdvance + 0x8000) >> 16);
    if (face_->italic) FT_GlyphSlot_Oblique(slot);
    if (FT_Render_Glyph(slot, face_->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
      const FT_Bitmap& bm = slot->bitmap;
      glyph.left = slot->bitmap_left;
      glyph.top = slot->bitmap_top;
      glyph.width = static_cast<int>(bm.width);
      glyph.rows = static_cast<int>(bm.rows);
      glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
      for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < glyph.width; ++x) {
          uint8_t value = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
          glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = value;
        }
      }
    }
  }
  return glyphs_.emplace(codePoint, std::move(glyph)).first->second;
}

SIZE Font::Measure(std::string_view utf8) const {
  std::vector<int> widths = PrefixWidths(utf8);
  return SIZE{widths.empty() ? 0 : widths.back(), metrics_.tmHeight};
}

std::vector<int> Font::PrefixWidths(std::string_view utf8) const {
  std::vector<int> widths(utf8.size(), 0);
  std::lock_guard lock(FreeTypeLock());
  int total = 0;
  size_t at = 0;
  while (at < utf8.size()) {
    size_t next = at + 1;
    char32_t cp = DecodeUtf8(utf8, at, &next);
    total += GlyphFor(cp).advance;
    for (size_t i = at; i < next; ++i) widths[i] = total;
    at = next;
  }
  return widths;
}

namespace {

void Blend(Bitmap& target, int x, int y, COLORREF colour, int alpha) {
  if (alpha >= 255) {
    target.SetPixel(x, y, colour);
    return;
  }
  COLORREF under = target.GetPixel(x, y);
  auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha) + 127) / 255; };
  target.SetPixel(x, y,
                  RGB(mix(GetRValue(colour), GetRValue(under)), mix(GetGValue(colour), GetGValue(under)),
                      mix(GetBValue(colour), GetBValue(under))));
}

void FillSpan(Bitmap& target, const RECT& clip, const Region* mask, int left, int right, int y, int thickness,
              COLORREF colour) {
  for (int row = y; row < y + thickness; ++row) {
    if (row < clip.top || row >= clip.bottom) continue;
    for (int x = std::max<int>(left, clip.left); x < std::min<int>(right, clip.right); ++x)
      if (!mask || mask->Contains(x, row)) target.SetPixel(x, row, colour);
  }
}

}  // namespace

void Font::Draw(Bitmap& target, const RECT& clip, const Region* mask, int x, int top, std::string_view utf8,
                COLORREF colour) const {
  int baseline = top + metrics_.tmAscent;
  int pen = x;
  {
    std::lock_guard lock(FreeTypeLock());
    size_t at = 0;
    while (at < utf8.size()) {
      size_t next = at + 1;
      char32_t cp = DecodeUtf8(utf8, at, &next);
      const Glyph& glyph = GlyphFor(cp);
      for (int gy = 0; gy < glyph.rows; ++gy) {
        int py = baseline - glyph.top + gy;
        if (py < clip.top || py >= clip.bottom) continue;
        for (int gx = 0; gx < glyph.width; ++gx) {
          int px = pen + glyph.left + gx;
          if (px < clip.left || px >= clip.right) continue;
          uint8_t alpha = glyph.coverage[static_cast<size_t>(gy) * glyph.width + gx];
          if (alpha && (!mask || mask->Contains(px, py))) Blend(target, px, py, colour, alpha);
        }
      }
      pen += glyph.advance;
      at = next;
    }
  }
  int em = metrics_.tmHeight - metrics_.tmInternalLeading;
  int thickness = std::max(1, em / 14);
  if (log_.lfUnderline) FillSpan(target, clip, mask, x, pen, baseline + std::max(1, em / 10), thickness, colour);
  if (log_.lfStrikeOut) FillSpan(target, clip, mask, x, pen, baseline - metrics_.tmAscent * 3 / 10, thickness, colour);
}

}  // namespace twl::gdi
