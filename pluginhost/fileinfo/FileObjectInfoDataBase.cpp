#include "pluginhost/fileinfo/FileObjectInfoDataBase.h"

#include <vector>

#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CLASS(CFileObjectInfoDataBase, CTypedObject)

namespace {

void DeleteRecords(CStringTreeNode* node) {
  if (!node) return;
  DeleteRecords(node->left);
  DeleteRecords(node->right);
  delete static_cast<FileObjectInfoRecord*>(node->value);
  node->value = nullptr;
}

void CollectRecords(CStringTreeNode* node, std::vector<FileObjectInfoRecord*>& records) {
  if (!node) return;
  CollectRecords(node->left, records);
  if (node->value) records.push_back(static_cast<FileObjectInfoRecord*>(node->value));
  CollectRecords(node->right, records);
}

}  // namespace

CFileObjectInfoDataBase::~CFileObjectInfoDataBase() { FreeAll(); }

FileObjectInfoRecord* CFileObjectInfoDataBase::Find(const char* url) {
  if (!url) return nullptr;
  CriticalSectionLock lock(m_Lock);
  void* value = nullptr;
  if (!CStringTreeNode::Lookup(m_Map.GetRoot(), url, &value)) return nullptr;
  return static_cast<FileObjectInfoRecord*>(value);
}

FileObjectInfoRecord* CFileObjectInfoDataBase::Get(const char* url) {
  if (!url) return nullptr;
  CriticalSectionLock lock(m_Lock);
  CStringTreeNode* node = CStringTreeNode::FindNode(m_Map.GetRoot(), url);
  if (!node) {
    CStringTreeNode::Insert(&m_Map, url, nullptr);
    node = CStringTreeNode::FindNode(m_Map.GetRoot(), url);
  }
  // A node without a record is left by a CreateInfo that failed; the next
  // Get tries again.
  if (!node->value) {
    node->value = CreateInfo(node->key);
    if (!node->value) ThrowMemoryError();
  }
  return static_cast<FileObjectInfoRecord*>(node->value);
}

void CFileObjectInfoDataBase::DetachAllListeners() {
  CriticalSectionLock lock(m_Lock);
  // Collected first: a listener told of its detachment may still ask for
  // records, which changes the tree.
  std::vector<FileObjectInfoRecord*> records;
  CollectRecords(m_Map.GetRoot(), records);
  for (FileObjectInfoRecord* record : records) DetachFileObjectListeners(record);
}

void CFileObjectInfoDataBase::FreeAll() {
  CriticalSectionLock lock(m_Lock);
  DeleteRecords(m_Map.GetRoot());  // the records first: their keys live in the nodes
  delete m_Map.right;
  m_Map.right = nullptr;
}
