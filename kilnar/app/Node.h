// The common base of every element of a CD project (file nodes, tracks,
// the project): an owning, ordered list of children and a parent pointer.
// Children are kept in the order of their Compare: AddChild inserts a node
// at its place and refuses one that compares equal to a child, leaving it
// with the caller. Deleting a node deletes its subtree. Nodes are used on
// the user-interface thread only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Type codes of the elements, as stored.
enum NodeType : int32_t {
  kTypeIsoTrack = 1004,
  kTypeFileNode = 1006,
  kTypeProjectDoc = 1007,
  kTypeAudioFileTrack = 1009,
  kTypeImageFileTrack = 1010,
};

class Node {
 public:
  Node() = default;
  virtual ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  virtual std::unique_ptr<Node> Clone() const = 0;
  virtual int32_t GetType() const = 0;
  virtual bool Refresh() = 0;
  virtual std::string GetName() const { return {}; }
  virtual void SetName(const std::string& /*name*/) {}
  // Takes the node over (moved out of `node`) and answers true, or answers
  // false and leaves it with the caller.
  virtual bool AddChild(std::unique_ptr<Node>& node);
  virtual bool CanAdd(const Node* node) const { return node != nullptr; }
  // Hands the child back to the caller; null when it is not a child.
  virtual std::unique_ptr<Node> RemoveChild(Node* node);
  // The parent's path + "\" + the own name, or the own name at the top.
  virtual std::string GetPath() const;
  virtual void Print(std::FILE* /*out*/) const {}
  // Below 0 when this node comes before the other, 0 when equal.
  virtual int Compare(const Node* other) const;

  size_t GetCount() const { return m_Children.size(); }
  Node* GetChild(size_t index) const { return index < m_Children.size() ? m_Children[index].get() : nullptr; }
  Node* GetParent() const { return m_Parent; }

  void DeleteChildren() { m_Children.clear(); }
  // Replaces the own children by clones of the other node's children.
  void CloneChildren(const Node& from);
  // Puts the children into Compare order (equal children keep their order).
  void Sort();
  // Where AddChild would insert the node, or -1 when a child compares equal.
  long FindInsertIndex(const Node* node) const;
  // The child's index, or -1.
  long IndexOf(const Node* node) const;
  // Inserts in order even beside children that compare equal (after them):
  // for files whose names only a later renaming tells apart.
  void InsertKeepingEqual(std::unique_ptr<Node> node);

 protected:
  // Inserts at an index AddChild chose, setting the parent.
  void InsertChildAt(size_t index, std::unique_ptr<Node> node);

 private:
  std::vector<std::unique_ptr<Node>> m_Children;
  Node* m_Parent = nullptr;
};
