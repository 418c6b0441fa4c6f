// Laying a text out in pages for the paged title display: from a start
// position, as many cells as fit the width (characters cost their advance,
// the blank cells after the text cost the cell width), the page ended at a
// word's start where that is not too far back, and the width left over
// split into empty cells before and after the page. A page never runs past
// the text's end; the page after the last starts at the text's start.
// Pure; any thread.
#pragma once

#include <functional>

struct TextPage {
  int start = 0;
  int count = 0;  // characters of the text from start
  int emptyBefore = 0;
  int emptyAfter = 0;
  int nextStart = 0;
  int Total() const { return emptyBefore + count + emptyAfter; }
};

struct PageMetrics {
  int length = 0;      // characters in the text
  int blankCells = 0;  // blank cells after the text
  int cellWidth = 1;   // below 1 counts as 1
  int width = 0;       // the control's
  std::function<int(int position)> charWidth;
  std::function<bool(int position)> isBlank;  // a space or a tab
};

TextPage LayOutPage(const PageMetrics& metrics, int start);

// The pixel width of the first `cells` cells of a page: its empty cells
// before, its characters, its empty cells after.
int PageCellsWidth(const PageMetrics& metrics, const TextPage& page, int cells);
