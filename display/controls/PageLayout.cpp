#include "display/controls/PageLayout.h"

#include <algorithm>

namespace {

int CellWidth(const PageMetrics& metrics) { return std::max(1, metrics.cellWidth); }

// Characters taken from `start` while they fit, at least one. True in
// `reachedEnd` when the cells went on past the last character (into the
// blank cells or round to the start): such a page ends with the text.
int TakeCells(const PageMetrics& metrics, int start, bool& reachedEnd) {
  const int cycle = metrics.length + std::max(0, metrics.blankCells);
  int used = 0;
  int taken = 0;
  int characters = 0;
  reachedEnd = false;
  for (int position = start; taken < cycle; ++taken, position = (position + 1) % cycle) {
    const bool character = position < metrics.length;
    const int cost = character ? metrics.charWidth(position) : CellWidth(metrics);
    if (taken > 0 && used + cost > metrics.width) break;
    used += cost;
    if (!character || (taken > 0 && position == 0)) reachedEnd = true;
    if (!reachedEnd) ++characters;
  }
  if (start + characters >= metrics.length) reachedEnd = true;
  return characters;
}

}  // namespace

TextPage LayOutPage(const PageMetrics& metrics, int start) {
  TextPage page;
  if (metrics.length <= 0) return page;
  page.start = start >= metrics.length || start < 0 ? 0 : start;
  bool reachedEnd = false;
  page.count = TakeCells(metrics, page.start, reachedEnd);
  if (reachedEnd) {
    page.nextStart = 0;
  } else {
    const int end = page.start + page.count;
    if (metrics.isBlank(end)) {
      page.nextStart = end + 1;
    } else {
      int blank = end;
      while (blank > page.start && !metrics.isBlank(blank)) --blank;
      // A break more than a quarter back into the page would waste it.
      if (blank > page.start + page.count / 4 && metrics.isBlank(blank)) {
        page.count = blank - page.start;
        page.nextStart = blank + 1;
      } else {
        page.nextStart = end;
      }
    }
  }
  int used = 0;
  for (int position = page.start; position < page.start + page.count; ++position) used += metrics.charWidth(position);
  const int spare = std::max(0, (metrics.width - used) / CellWidth(metrics));
  page.emptyBefore = spare - spare / 2;
  page.emptyAfter = spare / 2;
  return page;
}

int PageCellsWidth(const PageMetrics& metrics, const TextPage& page, int cells) {
  const int cell = CellWidth(metrics);
  int width = 0;
  for (int index = 0; index < cells && index < page.Total(); ++index) {
    const int character = index - page.emptyBefore;
    width += character >= 0 && character < page.count ? metrics.charWidth(page.start + character) : cell;
  }
  return width;
}
