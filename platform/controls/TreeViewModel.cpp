#include "TreeViewModel.h"

#include <algorithm>
#include <strings.h>

#include "twlwin/controls.h"

namespace twl::controls {

namespace {
const std::vector<int> kNoChildren;
}

std::vector<int>* TreeViewModel::SiblingsOf(int parent) {
  if (parent == 0) return &roots_;
  auto found = items_.find(parent);
  return found == items_.end() ? nullptr : &found->second.children;
}

int TreeViewModel::Insert(int parent, int after, TreeItem item) {
  std::vector<int>* siblings = SiblingsOf(parent);
  if (!siblings) return 0;
  auto place = siblings->end();
  if (after == kFirst) {
    place = siblings->begin();
  } else if (after == kSorted) {
    place = std::find_if(siblings->begin(), siblings->end(), [&](int sibling) {
      return strcasecmp(items_[sibling].text.c_str(), item.text.c_str()) > 0;
    });
  } else if (after != kLast) {
    place = std::find(siblings->begin(), siblings->end(), after);
    if (place == siblings->end()) return 0;
    ++place;
  }
  const int id = next_++;
  item.parent = parent;
  item.children.clear();
  siblings->insert(place, id);
  items_.emplace(id, std::move(item));
  return id;
}

bool TreeViewModel::Delete(int id) {
  auto found = items_.find(id);
  if (found == items_.end()) return false;
  const std::vector<int> children = found->second.children;
  for (int child : children) Delete(child);
  if (std::vector<int>* siblings = SiblingsOf(items_[id].parent))
    siblings->erase(std::remove(siblings->begin(), siblings->end(), id), siblings->end());
  items_.erase(id);
  return true;
}

void TreeViewModel::DeleteAll() {
  items_.clear();
  roots_.clear();
}

TreeItem* TreeViewModel::Item(int id) {
  auto found = items_.find(id);
  return found == items_.end() ? nullptr : &found->second;
}

const TreeItem* TreeViewModel::Item(int id) const {
  auto found = items_.find(id);
  return found == items_.end() ? nullptr : &found->second;
}

const std::vector<int>& TreeViewModel::Children(int parent) const {
  if (parent == 0) return roots_;
  const TreeItem* item = Item(parent);
  return item ? item->children : kNoChildren;
}

int TreeViewModel::NextSibling(int id) const {
  const TreeItem* item = Item(id);
  if (!item) return 0;
  const std::vector<int>& siblings = Children(item->parent);
  auto at = std::find(siblings.begin(), siblings.end(), id);
  return at == siblings.end() || at + 1 == siblings.end() ? 0 : *(at + 1);
}

int TreeViewModel::PreviousSibling(int id) const {
  const TreeItem* item = Item(id);
  if (!item) return 0;
  const std::vector<int>& siblings = Children(item->parent);
  auto at = std::find(siblings.begin(), siblings.end(), id);
  return at == siblings.end() || at == siblings.begin() ? 0 : *(at - 1);
}

bool TreeViewModel::IsAncestor(int ancestor, int id) const {
  for (const TreeItem* item = Item(id); item && item->parent != 0; item = Item(item->parent))
    if (item->parent == ancestor) return true;
  return false;
}

bool TreeViewModel::HasButton(int id) const {
  const TreeItem* item = Item(id);
  return item && (!item->children.empty() || item->hasChildrenFlag);
}

std::vector<TreeRow> TreeViewModel::VisibleRows() const {
  std::vector<TreeRow> rows;
  CollectRows(0, 0, rows);
  return rows;
}

void TreeViewModel::CollectRows(int parent, int depth, std::vector<TreeRow>& rows) const {
  for (int id : Children(parent)) {
    rows.push_back(TreeRow{id, depth});
    const TreeItem* item = Item(id);
    if (item && (item->state & TVIS_EXPANDED)) CollectRows(id, depth + 1, rows);
  }
}

}  // namespace twl::controls
