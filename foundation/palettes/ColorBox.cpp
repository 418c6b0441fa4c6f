#include "foundation/palettes/ColorBox.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <queue>
#include <vector>

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/ColorTable.h"
#include "foundation/kernel/MemoryError.h"

namespace {

constexpr DWORD kCellMask = 0xFFFF;
constexpr DWORD kSubBoxShift = 16;
constexpr DWORD kMaxCellBits = 16;

// One channel's slices of a box, as whole coordinates: slice k runs from
// starts[k] to ends[k]; an end below its start is an empty slice.
struct Slices {
  std::vector<int> starts;
  std::vector<int> ends;
};

// Slice widths are kept in floating point and cut down to whole
// coordinates only when used. Cutting rounds down (not toward zero): when
// a box has fewer coordinates than slices, the first slices end below the
// low coordinate and stay empty instead of repeating it, so that no cell
// lies in two sub-boxes.
Slices CutChannel(DWORD low, DWORD high, DWORD divisions) {
  Slices slices;
  const double width = static_cast<double>(high - low + 1) / divisions;
  double start = low;
  for (DWORD k = 0; k < divisions; ++k) {
    const double end = k + 1 == divisions ? static_cast<double>(high) : start + width - 1;
    slices.starts.push_back(static_cast<int>(std::floor(start)));
    slices.ends.push_back(static_cast<int>(std::floor(end)));
    start = end + 1;
  }
  return slices;
}

}  // namespace

struct CColorBox::Channels {
  DWORD bits[3];
  DWORD shifts[3];

  DWORD Coordinate(DWORD cell, int channel) const { return (cell >> shifts[channel]) & ((1u << bits[channel]) - 1); }
  DWORD Pack(const DWORD coordinates[3]) const {
    return coordinates[0] << shifts[0] | coordinates[1] << shifts[1] | coordinates[2] << shifts[2];
  }
  bool Contains(DWORD cell, WORD low, WORD high) const {
    for (int c = 0; c < 3; ++c) {
      const DWORD coordinate = Coordinate(cell, c);
      if (coordinate < Coordinate(low, c) || coordinate > Coordinate(high, c)) return false;
    }
    return true;
  }
};

CColorBox::~CColorBox() { Reset(); }

void CColorBox::Reset() {
  m_OwnedEntries.reset();
  m_Entries = nullptr;
  m_Table = nullptr;
  m_Count = 0;
  m_LowCorner = m_HighCorner = 0;
  m_Target = 1;
  m_Reduced = false;
}

CColorBox::Channels CColorBox::GetChannels() const {
  const DWORD red = m_Table->GetRedBits();
  const DWORD green = m_Table->GetGreenBits();
  return {{red, green, m_Table->GetBlueBits()}, {0, red, red + green}};
}

void CColorBox::InitFromTable(const CColorTable& table) {
  Reset();
  const DWORD cellBits = table.GetRedBits() + table.GetGreenBits() + table.GetBlueBits();
  if (!table.IsSetUp() || cellBits > kMaxCellBits) ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  m_Table = &table;
  m_LowCorner = 0;  // black
  m_HighCorner = static_cast<WORD>((1u << cellBits) - 1);  // white: every coordinate at its maximum

  DWORD index = 0, value = 0;
  INT used = 0;
  for (DWORD position = table.FindFirstUsed(); position != 0;) {
    table.GetNextUsed(position, index, value);
    ++used;
  }
  m_OwnedEntries.reset(new (std::nothrow) DWORD[used ? used : 1]);
  if (!m_OwnedEntries) ThrowMemoryError();
  m_Entries = m_OwnedEntries.get();
  for (DWORD position = table.FindFirstUsed(); position != 0 && m_Count < used;) {
    table.GetNextUsed(position, index, value);
    m_Entries[m_Count++] = index;
  }
}

void CColorBox::InitFromRange(DWORD* entries, INT count, DWORD subBoxNumber, const CColorTable& table, WORD lowCorner,
                              WORD highCorner) {
  Reset();
  m_Table = &table;
  m_Entries = entries;
  m_LowCorner = lowCorner;
  m_HighCorner = highCorner;
  const Channels channels = GetChannels();
  for (INT i = 0; i < count; ++i) {
    if (!channels.Contains(entries[i] & kCellMask, lowCorner, highCorner)) continue;
    entries[i] = (entries[i] & kCellMask) | subBoxNumber << kSubBoxShift;
    ++m_Count;
  }
}

// The lowest colour of a cell: each coordinate in the top bits of its
// channel's byte.
DWORD CColorBox::ColorOfCell(DWORD cell) const {
  const Channels channels = GetChannels();
  DWORD color = 0;
  for (int c = 0; c < 3; ++c) {
    const DWORD byte = channels.bits[c] ? (channels.Coordinate(cell, c) << (8 - channels.bits[c])) & 0xFF : 0;
    color |= byte << (8 * c);
  }
  return color;
}

void CColorBox::EntriesToColors() {
  for (INT i = 0; i < m_Count; ++i) m_Entries[i] = ColorOfCell(m_Entries[i] & kCellMask);
}

// The mean of the entries' colours, each weighted by its cell's count.
DWORD CColorBox::AverageColor() const {
  uint64_t sums[3] = {};
  uint64_t total = 0;
  for (INT i = 0; i < m_Count; ++i) {
    const DWORD color = m_Entries[i];
    const uint64_t weight = m_Table->GetCell(m_Table->GetCellOffset(color)) & m_Table->GetValueMask();
    for (int c = 0; c < 3; ++c) sums[c] += weight * ((color >> (8 * c)) & 0xFF);
    total += weight;
  }
  if (total == 0) return m_Count ? m_Entries[0] : 0;
  return static_cast<DWORD>(sums[0] / total | (sums[1] / total) << 8 | (sums[2] / total) << 16);
}

void CColorBox::SortEntries() {
  std::make_heap(m_Entries, m_Entries + m_Count);
  std::sort_heap(m_Entries, m_Entries + m_Count);
}

void CColorBox::Reduce(INT wanted) {
  if (m_Reduced) return;
  if (wanted < 0) wanted = m_Target;
  if (m_Count <= wanted) {
    EntriesToColors();
  } else if (wanted == 0) {
    m_Count = 0;
  } else if (wanted == 1) {
    EntriesToColors();
    m_Entries[0] = AverageColor();
    m_Count = 1;
  } else {
    Split(wanted);
  }
  m_Reduced = true;
}

void CColorBox::Split(INT wanted) {
  const Channels channels = GetChannels();
  for (INT i = 0; i < m_Count; ++i) m_Entries[i] &= kCellMask;

  // About the cube root of the wanted number per channel (truncated: for
  // 64 the root computes just below 4, giving 3); what the cube leaves is
  // given, at most twice, to the channel with the widest slices.
  const DWORD root = static_cast<DWORD>(std::pow(static_cast<double>(wanted), 1.0 / 3.0));
  DWORD divisions[3] = {root, root, root};
  int64_t budget = wanted - static_cast<int64_t>(root) * root * root;
  DWORD lows[3], highs[3];
  for (int c = 0; c < 3; ++c) {
    lows[c] = channels.Coordinate(m_LowCorner, c);
    highs[c] = channels.Coordinate(m_HighCorner, c);
  }
  for (int round = 0; round < 2; ++round) {
    double extents[3];
    for (int c = 0; c < 3; ++c) extents[c] = static_cast<double>(highs[c] - lows[c] + 1) / divisions[c];
    int winner = 0;
    if (extents[1] > extents[winner]) winner = 1;
    if (extents[2] > extents[winner]) winner = 2;
    const int64_t others = static_cast<int64_t>(divisions[(winner + 1) % 3]) * divisions[(winner + 2) % 3];
    if (budget < others) break;
    ++divisions[winner];
    budget -= others;
  }

  const Slices red = CutChannel(lows[0], highs[0], divisions[0]);
  const Slices green = CutChannel(lows[1], highs[1], divisions[1]);
  const Slices blue = CutChannel(lows[2], highs[2], divisions[2]);
  std::vector<std::unique_ptr<CColorBox>> boxes;
  for (DWORD r = 0; r < divisions[0]; ++r) {
    for (DWORD g = 0; g < divisions[1]; ++g) {
      for (DWORD b = 0; b < divisions[2]; ++b) {
        // An empty slice holds no cell: its boxes would only be dropped.
        if (red.ends[r] < red.starts[r] || green.ends[g] < green.starts[g] || blue.ends[b] < blue.starts[b]) continue;
        const DWORD low[3] = {static_cast<DWORD>(red.starts[r]), static_cast<DWORD>(green.starts[g]),
                              static_cast<DWORD>(blue.starts[b])};
        const DWORD high[3] = {static_cast<DWORD>(red.ends[r]), static_cast<DWORD>(green.ends[g]),
                               static_cast<DWORD>(blue.ends[b])};
        auto box = std::make_unique<CColorBox>();
        box->InitFromRange(m_Entries, m_Count, static_cast<DWORD>(boxes.size()), *m_Table,
                           static_cast<WORD>(channels.Pack(low)), static_cast<WORD>(channels.Pack(high)));
        boxes.push_back(std::move(box));
      }
    }
  }

  // Sorted, the entries lie in runs by sub-box number; each sub-box takes
  // its run. Empty sub-boxes go.
  SortEntries();
  DWORD* run = m_Entries;
  std::vector<std::unique_ptr<CColorBox>> kept;
  for (auto& box : boxes) {
    if (box->m_Count == 0) continue;
    box->m_Entries = run;
    run += box->m_Count;
    kept.push_back(std::move(box));
  }

  // Every kept sub-box has a target of 1; the rest of the wanted number
  // goes one colour at a time to the sub-box with the most entries per
  // colour (the first of equals).
  auto fewerPerColor = [&kept](size_t a, size_t b) {
    const int64_t left = static_cast<int64_t>(kept[a]->m_Count) * kept[b]->m_Target;
    const int64_t right = static_cast<int64_t>(kept[b]->m_Count) * kept[a]->m_Target;
    return left != right ? left < right : a > b;
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(fewerPerColor)> crowded(fewerPerColor);
  for (size_t i = 0; i < kept.size(); ++i) crowded.push(i);
  for (int64_t share = wanted - static_cast<int64_t>(kept.size()); share > 0 && !crowded.empty(); --share) {
    const size_t most = crowded.top();
    crowded.pop();
    ++kept[most]->m_Target;
    crowded.push(most);
  }

  // The sub-boxes' colours, gathered at the front in list order.
  INT count = 0;
  for (auto& box : kept) {
    box->Reduce(box->m_Target);
    std::memmove(m_Entries + count, box->m_Entries, sizeof(DWORD) * static_cast<size_t>(box->m_Count));
    count += box->m_Count;
    box.reset();
  }
  m_Count = count;
}
