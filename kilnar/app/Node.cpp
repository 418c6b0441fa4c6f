#include "kilnar/app/Node.h"

#include <algorithm>

#include "kilnar/app/NameCompare.h"

Node::~Node() = default;

bool Node::AddChild(std::unique_ptr<Node>& node) {
  if (!node) return false;
  const long index = FindInsertIndex(node.get());
  if (index < 0) return false;
  InsertChildAt(static_cast<size_t>(index), std::move(node));
  return true;
}

// The children are in Compare order, so the place is found by halving: the
// first child that compares above the node (after the last when none does).
long Node::FindInsertIndex(const Node* node) const {
  auto place = std::partition_point(m_Children.begin(), m_Children.end(),
                                    [&](const std::unique_ptr<Node>& child) { return child->Compare(node) < 0; });
  if (place != m_Children.end() && (*place)->Compare(node) == 0) return -1;
  return static_cast<long>(place - m_Children.begin());
}

void Node::InsertKeepingEqual(std::unique_ptr<Node> node) {
  // Nodes made from a sorted listing mostly belong at the end.
  if (m_Children.empty() || m_Children.back()->Compare(node.get()) <= 0) {
    InsertChildAt(m_Children.size(), std::move(node));
    return;
  }
  auto place = std::partition_point(m_Children.begin(), m_Children.end(),
                                    [&](const std::unique_ptr<Node>& child) { return child->Compare(node.get()) <= 0; });
  InsertChildAt(static_cast<size_t>(place - m_Children.begin()), std::move(node));
}

void Node::InsertChildAt(size_t index, std::unique_ptr<Node> node) {
  node->m_Parent = this;
  m_Children.insert(m_Children.begin() + static_cast<long>(index), std::move(node));
}

std::unique_ptr<Node> Node::RemoveChild(Node* node) {
  const long index = IndexOf(node);
  if (index < 0) return nullptr;
  std::unique_ptr<Node> removed = std::move(m_Children[static_cast<size_t>(index)]);
  m_Children.erase(m_Children.begin() + index);
  removed->m_Parent = nullptr;
  return removed;
}

long Node::IndexOf(const Node* node) const {
  for (size_t i = 0; i < m_Children.size(); ++i)
    if (m_Children[i].get() == node) return static_cast<long>(i);
  return -1;
}

std::string Node::GetPath() const {
  if (!m_Parent) return GetName();
  return m_Parent->GetPath() + "\\" + GetName();
}

int Node::Compare(const Node* other) const {
  if (!other) return 0;
  return CompareNamesNoCase(GetName(), other->GetName());
}

void Node::CloneChildren(const Node& from) {
  m_Children.clear();
  for (const auto& child : from.m_Children) {
    std::unique_ptr<Node> copy = child->Clone();
    if (!copy) continue;
    copy->m_Parent = this;
    m_Children.push_back(std::move(copy));
  }
}

void Node::Sort() {
  const auto before = [](const std::unique_ptr<Node>& a, const std::unique_ptr<Node>& b) {
    return a->Compare(b.get()) < 0;
  };
  // Most sorts find the children in order already: one pass tells.
  if (std::is_sorted(m_Children.begin(), m_Children.end(), before)) return;
  std::stable_sort(m_Children.begin(), m_Children.end(), before);
}
