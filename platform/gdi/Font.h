// Fonts behind HFONT: a LOGFONTA resolved to one of the DejaVu faces at a
// pixel size, with Windows' metrics (cell height = ascent + descent) and
// whole-pixel advances taken from the unhinted outlines, so measurements
// depend only on the font files. All FreeType work is serialised by one
// process-wide lock; a Font may be used from any thread.
#pragma once

#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "Bitmap.h"
#include "platform/user/Region.h"
#include "GdiObject.h"
#include "twlwin/gdi.h"

namespace twl::gdi {

class Font final : public GdiObject {
 public:
  // Null, with the reason written to stderr and ERROR_FILE_NOT_FOUND set,
  // when the font file is missing or unreadable.
  static std::shared_ptr<Font> Create(const LOGFONTA& logFont);
  ~Font() override;

  DWORD Type() const override { return OBJ_FONT; }
  const LOGFONTA& Log() const { return log_; }
  const TEXTMETRICA& Metrics() const { return metrics_; }
  // The file the face came from, for tests and error messages.
  const char* FilePath() const { return path_; }

  // Width and height of UTF-8 text on one line.
  SIZE Measure(std::string_view utf8) const;
  // Advance of every byte position's character: widths[i] is the width of
  // the text up to and including the character that starts at byte i
  // (bytes inside a character repeat the previous value).
  std::vector<int> PrefixWidths(std::string_view utf8) const;
  // Draws the text with the top of its cell at `x, top` (device
  // coordinates) in `colour`, touching only pixels inside `clip` and, when
  // one is given, `mask`.
  void Draw(Bitmap& target, const RECT& clip, const Region* mask, int x, int top, std::string_view utf8,
            COLORREF colour) const;

 private:
  struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;
  };
  struct Face;

  Font() = default;
  const Glyph& GlyphFor(char32_t codePoint) const;  // under the FreeType lock

  LOGFONTA log_{};
  TEXTMETRICA metrics_{};
  const char* path_ = "";
  std::unique_ptr<Face> face_;
  mutable std::map<char32_t, Glyph> glyphs_;
};

// UTF-8 decoding as text drawing sees it: a byte that does not start a
// valid sequence stands for itself (Latin-1). `next` receives the byte
// index after the character.
char32_t DecodeUtf8(std::string_view text, size_t at, size_t* next);

}  // namespace twl::gdi
