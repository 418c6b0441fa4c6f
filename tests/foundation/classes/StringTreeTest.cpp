#include "foundation/kernel/StringTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace {

// Orders keys as the tree does: bytes as unsigned, shorter first.
struct ByteOrder {
  bool operator()(const std::string& a, const std::string& b) const {
    return CStringTreeNode::CompareKeys(a.c_str(), b.c_str()) < 0;
  }
};

void* ValueOf(uintptr_t v) { return reinterpret_cast<void*>(v); }

// Checks order, balance factors and AVL height bounds; returns the height
// and counts the nodes.
int CheckSubtree(const CStringTreeNode* node, const char* low, const char* high, size_t& nodes) {
  if (!node) return 0;
  ++nodes;
  if (low) {
    EXPECT_LT(CStringTreeNode::CompareKeys(low, node->key), 0);
  }
  if (high) {
    EXPECT_LT(CStringTreeNode::CompareKeys(node->key, high), 0);
  }
  const int left = CheckSubtree(node->left, low, node->key, nodes);
  const int right = CheckSubtree(node->right, node->key, high, nodes);
  EXPECT_EQ(node->balance, right - left) << node->key;
  return 1 + std::max(left, right);
}

std::string RandomKey(std::mt19937& random) {
  // Short keys over a few bytes, high ones included, so that keys repeat
  // and share prefixes.
  static const char kBytes[] = {'a', 'b', 'B', 'z', '\x7f', '\xc3', '\xff'};
  std::string key(1 + random() % 4, ' ');
  for (char& c : key) c = kBytes[random() % sizeof kBytes];
  return key;
}

TEST(StringTree, AgreesWithAMapOverRandomInsertsAndLookups) {
  std::mt19937 random(20240601);
  CStringTreeNode header;
  std::map<std::string, uintptr_t, ByteOrder> model;
  for (int step = 0; step < 5000; ++step) {
    const std::string key = RandomKey(random);
    if (random() % 3 != 0) {
      const uintptr_t value = static_cast<uintptr_t>(step) + 1;
      CStringTreeNode::Insert(&header, key.c_str(), ValueOf(value));
      model[key] = value;
    } else {
      void* found = nullptr;
      const bool present = CStringTreeNode::Lookup(header.GetRoot(), key.c_str(), &found);
      const auto expected = model.find(key);
      ASSERT_EQ(present, expected != model.end()) << key;
      if (present) {
        EXPECT_EQ(found, ValueOf(expected->second)) << key;
      }
    }
    if (step % 500 == 0) {
      size_t nodes = 0;
      CheckSubtree(header.GetRoot(), nullptr, nullptr, nodes);
      ASSERT_EQ(nodes, model.size());
    }
  }
  size_t nodes = 0;
  const int height = CheckSubtree(header.GetRoot(), nullptr, nullptr, nodes);
  EXPECT_EQ(nodes, model.size());
  EXPECT_LE(height, 1.45 * std::log2(static_cast<double>(nodes) + 2));
  for (const auto& [key, value] : model) EXPECT_EQ(CStringTreeNode::FindNode(header.GetRoot(), key.c_str())->value, ValueOf(value));
}

TEST(StringTree, AscendingInsertsStayBalanced) {
  CStringTreeNode header;
  for (int i = 0; i < 1000; ++i) {
    char key[8];
    std::snprintf(key, sizeof key, "%04d", i);
    CStringTreeNode::Insert(&header, key, ValueOf(i));
  }
  size_t nodes = 0;
  EXPECT_LE(CheckSubtree(header.GetRoot(), nullptr, nullptr, nodes), 11);
  EXPECT_EQ(nodes, 1000u);
}

TEST(StringTree, ExistingKeyTakesTheNewValueOnly) {
  CStringTreeNode header;
  CStringTreeNode::Insert(&header, "ABC", ValueOf(1));
  CStringTreeNode::Insert(&header, "ABD", ValueOf(2));
  CStringTreeNode* node = CStringTreeNode::FindNode(header.GetRoot(), "ABC");
  CStringTreeNode::Insert(&header, "ABC", ValueOf(3));
  EXPECT_EQ(CStringTreeNode::FindNode(header.GetRoot(), "ABC"), node);
  EXPECT_EQ(node->value, ValueOf(3));
  size_t nodes = 0;
  CheckSubtree(header.GetRoot(), nullptr, nullptr, nodes);
  EXPECT_EQ(nodes, 2u);
}

TEST(StringTree, KeysAreCaseSensitiveCopies) {
  CStringTreeNode header;
  char key[] = "ABC";
  CStringTreeNode::Insert(&header, key, ValueOf(7));
  key[0] = 'X';  // the tree keeps its own copy
  void* found = nullptr;
  EXPECT_TRUE(CStringTreeNode::Lookup(header.GetRoot(), "ABC", &found));
  EXPECT_EQ(found, ValueOf(7));
  EXPECT_FALSE(CStringTreeNode::Lookup(header.GetRoot(), "abc", &found));
  EXPECT_FALSE(CStringTreeNode::Lookup(header.GetRoot(), "XBC", &found));
  EXPECT_FALSE(CStringTreeNode::Lookup(nullptr, "ABC", &found));
}

TEST(StringTree, BytesCompareUnsignedAndShorterFirst) {
  EXPECT_LT(CStringTreeNode::CompareKeys("z", "\xc3\xa4"), 0);
  EXPECT_LT(CStringTreeNode::CompareKeys("ab", "abc"), 0);
  EXPECT_LT(CStringTreeNode::CompareKeys("ABC", "abc"), 0);
  EXPECT_EQ(CStringTreeNode::CompareKeys("abc", "abc"), 0);
}

}  // namespace
