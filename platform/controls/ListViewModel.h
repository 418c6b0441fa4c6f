// The data of a list view apart from its painting: columns, rows with their
// cell texts, image, lParam and state, and the rules of selection and
// focus. Other views (list mode, icons) and later the tree view's rows build
// on the same model. Plain data; used on the control's thread.
#pragma once

#include <string>
#include <vector>

#include "twlwin/types.h"

namespace twl::controls {

struct ListColumn {
  std::string text;
  int width = 0;
  int format = 0;
};

struct ListRow {
  std::vector<std::string> texts;  // [0] is the item, then the sub-items
  int image = -1;
  LPARAM lParam = 0;
  UINT state = 0;
};

// One row's state as it was and as it is to become.
struct StateChange {
  int row;
  UINT oldState;
  UINT newState;
};

class ListViewModel {
 public:
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int InsertColumn(int at, ListColumn column);
  ListColumn* Column(int index);
  // Columns in the order they are shown (indices of creation order); a new
  // column shows at its own index.
  const std::vector<int>& DisplayOrder() const { return order_; }
  // Where a column shows; -1 when it does not exist.
  int OrderOf(int column) const;
  // Moves a column to another place of the display order.
  bool SetOrder(int column, int position);

  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Index -1 or beyond the end appends; `sorted` keeps rows in ascending
  // order of their text (case ignored), new rows after equal ones.
  int InsertRow(int at, ListRow row, bool sorted);
  ListRow* Row(int index);
  const ListRow* Row(int index) const;
  bool DeleteRow(int index);
  void DeleteAll() { rows_.clear(); }
  // Sets a cell's text; cells beyond the row's end are added.
  bool SetText(int row, int column, const std::string& text);
  const std::string& Text(int row, int column) const;

  // The changes that setting `state` under `mask` on `row` (-1: every
  // row) makes, following the rules: one focused row at most, and one
  // selected row at most when `singleSelection`. Nothing changes yet: the
  // caller asks whoever may veto, then calls Apply for each change.
  std::vector<StateChange> PlanState(int row, UINT state, UINT mask, bool singleSelection) const;
  void Apply(const StateChange& change);

  // Next row after `start` (-1: from the first) whose state has all of
  // `state`'s bits; -1 when none.
  int NextWithState(int start, UINT state) const;
  int CountWithState(UINT state) const;

 private:
  std::vector<ListColumn> columns_;
  std::vector<int> order_;
  std::vector<ListRow> rows_;
};

}  // namespace twl::controls
