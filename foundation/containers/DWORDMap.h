// CDWORDMap: a hash map from 32-bit keys to 32-bit values. Nodes come from
// blocks and are reused through a free list; the map frees its table and
// blocks only when it empties. Iteration runs in bucket order and, within a
// bucket, newest first. No lock: the owner guards it.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CDWORDMap : public CTypedObject {
  TWL_DECLARE_CLASS(CDWORDMap)
 public:
  // An iteration position: the mark before the first entry, a node, or
  // null at the end.
  using Position = const void*;

  explicit CDWORDMap(INT blockSize = 10);
  CDWORDMap(const CDWORDMap&) = delete;
  CDWORDMap& operator=(const CDWORDMap&) = delete;
  ~CDWORDMap() override;

  INT GetCount() const { return m_Count; }
  bool Lookup(DWORD key, DWORD& value) const;
  // The key's value, added as 0 when the key is absent.
  DWORD& operator[](DWORD key);
  bool RemoveKey(DWORD key);
  void RemoveAll();
  // Sets the number of buckets; only while the map is empty, and never 0.
  void InitHashTable(UINT tableSize, bool allocateNow = true);
  UINT GetHashTableSize() const { return m_TableSize; }

  Position GetStartPosition() const;
  void GetNextAssoc(Position& position, DWORD& key, DWORD& value) const;

  // Stores the count and every entry as key and value in iteration order.
  // Loading adds the entries to those already there; equal keys take the
  // loaded value.
  void Serialize(CStorage& storage) override;

 private:
  struct Node {
    Node* next;
    DWORD key;
    DWORD value;
  };
  struct Block {
    Block* previous;
    Node* Nodes() { return reinterpret_cast<Node*>(this + 1); }
  };

  UINT BucketOf(DWORD key) const { return (key >> 4) % m_TableSize; }
  Node* Find(DWORD key) const;
  Node* NewNode();
  void AllocateTable();

  Node** m_Buckets = nullptr;
  UINT m_TableSize = 17;
  INT m_Count = 0;
  Node* m_FreeList = nullptr;
  Block* m_Blocks = nullptr;
  INT m_BlockSize;
};
