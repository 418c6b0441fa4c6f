#include "foundation/kernel/StringTree.h"

#include <cstring>
#include <new>

#include "foundation/kernel/MemoryError.h"

namespace {

CStringTreeNode* NewLeaf(const char* key, void* value) {
  const size_t length = std::strlen(key);
  char* copy = new (std::nothrow) char[length + 1];
  CStringTreeNode* node = copy ? new (std::nothrow) CStringTreeNode : nullptr;
  if (!node) {
    delete[] copy;
    ThrowMemoryError();
  }
  std::memcpy(copy, key, length + 1);
  node->key = copy;
  node->value = value;
  return node;
}

CStringTreeNode*& Link(CStringTreeNode* node, int direction) { return direction < 0 ? node->left : node->right; }

}  // namespace

CStringTreeNode::~CStringTreeNode() {
  delete[] key;
  if (key) delete left;  // a header's left link is unused
  delete right;
}

int CStringTreeNode::CompareKeys(const char* left, const char* right) {
  const auto* a = reinterpret_cast<const unsigned char*>(left);
  const auto* b = reinterpret_cast<const unsigned char*>(right);
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<int>(*a) - static_cast<int>(*b);
}

CStringTreeNode* CStringTreeNode::FindNode(const CStringTreeNode* root, const char* key) {
  const CStringTreeNode* node = root;
  while (node) {
    const int order = CompareKeys(key, node->key);
    if (order == 0) return const_cast<CStringTreeNode*>(node);
    node = order > 0 ? node->right : node->left;
  }
  return nullptr;
}

bool CStringTreeNode::Lookup(const CStringTreeNode* root, const char* key, void** value) {
  CStringTreeNode* node = FindNode(root, key);
  if (!node) return false;
  if (value) *value = node->value;
  return true;
}

// Balanced insertion with a header node: walk down remembering the deepest
// node whose balance is not even (s, with its parent t); attach the leaf;
// set the balances between s and the leaf; then either s becomes even or
// uneven in the new direction, or it tips over and one single or double
// rotation restores the balance of the subtree, relinked into t.
void CStringTreeNode::Insert(CStringTreeNode* header, const char* key, void* value) {
  if (!header->right) {
    header->right = NewLeaf(key, value);
    return;
  }
  CStringTreeNode* t = header;
  CStringTreeNode* s = header->right;
  CStringTreeNode* p = s;
  CStringTreeNode* q = nullptr;
  for (;;) {
    const int order = CompareKeys(key, p->key);
    if (order == 0) {
      p->value = value;
      return;
    }
    q = order < 0 ? p->left : p->right;
    if (!q) {
      q = NewLeaf(key, value);
      Link(p, order) = q;
      break;
    }
    if (q->balance != 0) {
      t = p;
      s = q;
    }
    p = q;
  }

  const int a = CompareKeys(key, s->key) < 0 ? -1 : 1;
  CStringTreeNode* r = Link(s, a);
  p = r;
  while (p != q) {
    const int direction = CompareKeys(key, p->key) < 0 ? -1 : 1;
    p->balance = static_cast<signed char>(direction);
    p = Link(p, direction);
  }

  if (s->balance == 0) {
    s->balance = static_cast<signed char>(a);
    return;
  }
  if (s->balance == -a) {
    s->balance = 0;
    return;
  }
  CStringTreeNode* top;
  if (r->balance == a) {  // single rotation
    top = r;
    Link(s, a) = Link(r, -a);
    Link(r, -a) = s;
    s->balance = 0;
    r->balance = 0;
  } else {  // double rotation
    top = Link(r, -a);
    Link(r, -a) = Link(top, a);
    Link(top, a) = r;
    Link(s, a) = Link(top, -a);
    Link(top, -a) = s;
    if (top->balance == a) {
      s->balance = static_cast<signed char>(-a);
      r->balance = 0;
    } else if (top->balance == 0) {
      s->balance = 0;
      r->balance = 0;
    } else {
      s->balance = 0;
      r->balance = static_cast<signed char>(a);
    }
    top->balance = 0;
  }
  if (s == t->right)
    t->right = top;
  else
    t->left = top;
}
