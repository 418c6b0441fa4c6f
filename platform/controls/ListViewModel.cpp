#include "ListViewModel.h"

#include <algorithm>
#include <cctype>

#include "twlwin/controls.h"

namespace twl::controls {
namespace {

int CompareNoCase(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int ListViewModel::InsertColumn(int at, ListColumn column) {
  if (at < 0 || at > ColumnCount()) at = ColumnCount();
  columns_.insert(columns_.begin() + at, std::move(column));
  for (int& index : order_)
    if (index >= at) ++index;
  order_.insert(order_.begin() + std::min<ptrdiff_t>(at, static_cast<ptrdiff_t>(order_.size())), at);
  return at;
}

int ListViewModel::OrderOf(int column) const {
  auto found = std::find(order_.begin(), order_.end(), column);
  return found == order_.end() ? -1 : static_cast<int>(found - order_.begin());
}

bool ListViewModel::SetOrder(int column, int position) {
  const int from = OrderOf(column);
  if (from < 0 || position < 0 || position >= ColumnCount()) return false;
  order_.erase(order_.begin() + from);
  order_.insert(order_.begin() + position, column);
  return true;
}

ListColumn* ListViewModel::Column(int index) {
  return index >= 0 && index < ColumnCount() ? &columns_[index] : nullptr;
}

int ListViewModel::InsertRow(int at, ListRow row, bool sorted) {
  if (row.texts.empty()) row.texts.emplace_back();
  if (sorted) {
    auto after = std::upper_bound(rows_.begin(), rows_.end(), row, [](const ListRow& a, const ListRow& b) {
      return CompareNoCase(a.texts[0], b.texts[0]) < 0;
    });
    at = static_cast<int>(after - rows_.begin());
  } else if (at < 0 || at > RowCount()) {
    at = RowCount();
  }
  rows_.insert(rows_.begin() + at, std::move(row));
  return at;
}

ListRow* ListViewModel::Row(int index) { return index >= 0 && index < RowCount() ? &rows_[index] : nullptr; }

const ListRow* ListViewModel::Row(int index) const {
  return index >= 0 && index < RowCount() ? &rows_[index] : nullptr;
}

bool ListViewModel::DeleteRow(int index) {
  if (!Row(index)) return false;
  rows_.erase(rows_.begin() + index);
  return true;
}

bool ListViewModel::SetText(int row, int column, const std::string& text) {
  ListRow* r = Row(row);
  // Sub-item numbers come from callers; a few hundred columns is plenty.
  if (!r || column < 0 || column > 1024) return false;
  if (static_cast<size_t>(column) >= r->texts.size()) r->texts.resize(column + 1);
  r->texts[column] = text;
  return true;
}

const std::string& ListViewModel::Text(int row, int column) const {
  static const std::string empty;
  const ListRow* r = Row(row);
  if (!r || column < 0 || static_cast<size_t>(column) >= r->texts.size()) return empty;
  return r->texts[column];
}

std::vector<StateChange> ListViewModel::PlanState(int row, UINT state, UINT mask, bool singleSelection) const {
  std::vector<UINT> wanted(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) wanted[i] = rows_[i].state;
  auto set = [&](size_t i) { wanted[i] = (wanted[i] & ~mask) | (state & mask); };
  if (row == -1) {
    for (size_t i = 0; i < rows_.size(); ++i) set(i);
  } else if (Row(row)) {
    set(row);
    // A newly focused or selected row takes focus or selection from the others.
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (static_cast<int>(i) == row) continue;
      if ((mask & state & LVIS_FOCUSED)) wanted[i] &= ~LVIS_FOCUSED;
      if ((mask & state & LVIS_SELECTED) && singleSelection) wanted[i] &= ~LVIS_SELECTED;
    }
  }
  // Rows that lose something come first, then the one that gains, as the
  // notifications of a moving selection arrive.
  std::vector<StateChange> changes;
  for (size_t i = 0; i < rows_.size(); ++i)
    if (wanted[i] != rows_[i].state && static_cast<int>(i) != row)
      changes.push_back({static_cast<int>(i), rows_[i].state, wanted[i]});
  if (Row(row) && wanted[row] != rows_[row].state) changes.push_back({row, rows_[row].state, wanted[row]});
  return changes;
}

void ListViewModel::Apply(const StateChange& change) {
  if (ListRow* r = Row(change.row)) r->state = change.newState;
}

int ListViewModel::NextWithState(int start, UINT state) const {
  for (int i = std::max(start + 1, 0); i < RowCount(); ++i)
    if ((rows_[i].state & state) == state) return i;
  return -1;
}

int ListViewModel::CountWithState(UINT state) const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [&](const ListRow& r) { return (r.state & state) == state; }));
}

}  // namespace twl::controls
