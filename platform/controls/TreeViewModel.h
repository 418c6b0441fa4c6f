// The data of a tree view apart from its painting: items with their text,
// images, lParam and state under a parent, in order, and the rows a view
// shows (every item whose ancestors are all expanded). Ids are small
// positive numbers, never reused while the tree lives. Plain data; used on
// the control's thread.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "twlwin/types.h"

namespace twl::controls {

struct TreeItem {
  int parent = 0;  // 0: a root
  std::vector<int> children;
  std::string text;
  int image = 0;
  int selectedImage = 0;
  LPARAM lParam = 0;
  UINT state = 0;
  // Shows an expand button before any child exists.
  bool hasChildrenFlag = false;
};

struct TreeRow {
  int id;
  int depth;
};

class TreeViewModel {
 public:
  static constexpr int kFirst = -1;
  static constexpr int kLast = -2;
  static constexpr int kSorted = -3;

  // Under `parent` (0: roots), after the sibling `after` or at kFirst,
  // kLast or in text order (kSorted, case ignored). 0 when the parent or
  // the sibling does not exist.
  int Insert(int parent, int after, TreeItem item);
  // The item and everything below it; false when it does not exist.
  bool Delete(int id);
  void DeleteAll();
  TreeItem* Item(int id);
  const TreeItem* Item(int id) const;
  // Parent 0: the roots.
  const std::vector<int>& Children(int parent) const;
  int NextSibling(int id) const;
  int PreviousSibling(int id) const;
  bool IsAncestor(int ancestor, int id) const;
  int Count() const { return static_cast<int>(items_.size()); }
  bool HasButton(int id) const;

  std::vector<TreeRow> VisibleRows() const;

 private:
  void CollectRows(int parent, int depth, std::vector<TreeRow>& rows) const;
  std::vector<int>* SiblingsOf(int parent);

  std::unordered_map<int, TreeItem> items_;
  std::vector<int> roots_;
  int next_ = 1;
};

}  // namespace twl::controls
