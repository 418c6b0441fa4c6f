#include "foundation/containers/DWORDMap.h"

#include <new>
#include <utility>
#include <vector>

#include "foundation/containers/ArchiveCount.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDWORDMap, CTypedObject)

namespace {

const void* const kBeforeStart = reinterpret_cast<const void*>(static_cast<intptr_t>(-1));

}  // namespace

CDWORDMap::CDWORDMap(INT blockSize) : m_BlockSize(blockSize > 0 ? blockSize : 10) {}

CDWORDMap::~CDWORDMap() { RemoveAll(); }

CDWORDMap::Node* CDWORDMap::Find(DWORD key) const {
  if (!m_Buckets) return nullptr;
  for (Node* node = m_Buckets[BucketOf(key)]; node; node = node->next)
    if (node->key == key) return node;
  return nullptr;
}

bool CDWORDMap::Lookup(DWORD key, DWORD& value) const {
  const Node* node = Find(key);
  if (!node) return false;
  value = node->value;
  return true;
}

void CDWORDMap::AllocateTable() {
  m_Buckets = new (std::nothrow) Node* [m_TableSize] {};
  if (!m_Buckets) ThrowMemoryError();
}

// A new block's nodes go onto the free list so that its first node comes
// off first.
CDWORDMap::Node* CDWORDMap::NewNode() {
  if (!m_FreeList) {
    void* memory = ::operator new(sizeof(Block) + sizeof(Node) * static_cast<size_t>(m_BlockSize), std::nothrow);
    if (!memory) ThrowMemoryError();
    Block* block = new (memory) Block{m_Blocks};
    m_Blocks = block;
    Node* nodes = block->Nodes();
    for (INT i = m_BlockSize - 1; i >= 0; --i) {
      nodes[i].next = m_FreeList;
      m_FreeList = &nodes[i];
    }
  }
  Node* node = m_FreeList;
  m_FreeList = node->next;
  return node;
}

DWORD& CDWORDMap::operator[](DWORD key) {
  if (Node* node = Find(key)) return node->value;
  if (!m_Buckets) AllocateTable();
  Node* node = NewNode();
  Node*& head = m_Buckets[BucketOf(key)];
  node->key = key;
  node->value = 0;
  node->next = head;
  head = node;
  ++m_Count;
  return node->value;
}

bool CDWORDMap::RemoveKey(DWORD key) {
  if (!m_Buckets) return false;
  for (Node** link = &m_Buckets[BucketOf(key)]; *link; link = &(*link)->next) {
    Node* node = *link;
    if (node->key != key) continue;
    *link = node->next;
    node->next = m_FreeList;
    m_FreeList = node;
    if (--m_Count == 0) RemoveAll();
    return true;
  }
  return false;
}

void CDWORDMap::RemoveAll() {
  delete[] m_Buckets;
  m_Buckets = nullptr;
  while (m_Blocks) {
    Block* previous = m_Blocks->previous;
    ::operator delete(m_Blocks);
    m_Blocks = previous;
  }
  m_FreeList = nullptr;
  m_Count = 0;
}

void CDWORDMap::InitHashTable(UINT tableSize, bool allocateNow) {
  if (m_Count != 0 || tableSize == 0) return;  // would lose entries, or divide by zero
  delete[] m_Buckets;
  m_Buckets = nullptr;
  m_TableSize = tableSize;
  if (allocateNow) AllocateTable();
}

CDWORDMap::Position CDWORDMap::GetStartPosition() const { return m_Count == 0 ? nullptr : kBeforeStart; }

void CDWORDMap::GetNextAssoc(Position& position, DWORD& key, DWORD& value) const {
  const Node* node = nullptr;
  if (position == kBeforeStart) {
    for (UINT bucket = 0; m_Buckets && bucket < m_TableSize && !node; ++bucket) node = m_Buckets[bucket];
  } else {
    node = static_cast<const Node*>(position);
  }
  if (!node) {  // an empty map or a position past the end
    position = nullptr;
    return;
  }
  key = node->key;
  value = node->value;
  const Node* next = node->next;
  for (UINT bucket = BucketOf(node->key) + 1; !next && bucket < m_TableSize; ++bucket) next = m_Buckets[bucket];
  position = next;
}

void CDWORDMap::Serialize(CStorage& storage) {
  if (!storage.IsLoading()) {
    storage.WriteValue(static_cast<DWORD>(m_Count));
    Position position = GetStartPosition();
    while (position) {
      DWORD key = 0;
      DWORD value = 0;
      GetNextAssoc(position, key, value);
      storage.WriteValue(key);
      storage.WriteValue(value);
    }
    return;
  }
  // Every pair is read before the first is added, so a short archive
  // changes nothing.
  const DWORD count = LoadArchiveCount(storage);
  std::vector<std::pair<DWORD, DWORD>> entries;
  entries.reserve(InitialReserve(count));
  for (DWORD i = 0; i < count; ++i) {
    DWORD key = 0;
    DWORD value = 0;
    storage.ReadValue(key);
    storage.ReadValue(value);
    entries.emplace_back(key, value);
  }
  for (const auto& [key, value] : entries) (*this)[key] = value;
}
