// CStringTreeNode: the library's map from texts to values, a balanced (AVL)
// binary tree. A tree is held through a header node whose right link is the
// root; an empty tree has no root. Keys are the tree's own copies, compared
// byte for byte as unsigned characters (case-sensitive); values are not
// owned. The tree does not lock: its owner guards it.
#pragma once

class CStringTreeNode {
 public:
  // A header node (no key) of an empty tree.
  CStringTreeNode() noexcept = default;
  CStringTreeNode(const CStringTreeNode&) = delete;
  CStringTreeNode& operator=(const CStringTreeNode&) = delete;
  // Frees the key and deletes both subtrees; a header deletes the root.
  ~CStringTreeNode();

  // Inserts a copy of `key` with `value`; a key already present only takes
  // the new value.
  static void Insert(CStringTreeNode* header, const char* key, void* value);
  static bool Lookup(const CStringTreeNode* root, const char* key, void** value);
  static CStringTreeNode* FindNode(const CStringTreeNode* root, const char* key);

  // Byte order of keys: negative, zero or positive as `left` sorts before,
  // equal to or after `right`.
  static int CompareKeys(const char* left, const char* right);

  CStringTreeNode* GetRoot() const { return right; }

  char* key = nullptr;
  signed char balance = 0;  // -1 left subtree higher, 0 even, +1 right higher
  CStringTreeNode* left = nullptr;
  CStringTreeNode* right = nullptr;
  void* value = nullptr;
};
