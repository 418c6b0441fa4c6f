#include "foundation/kernel/ClassManager.h"

#include <cstdlib>
#include <cstring>

#include "foundation/kernel/MemoryError.h"

namespace {

const unsigned char kSignature[16] = {0x01, 0xAE, 0x2A, 0x24, 0xE0, 0x5D, 0xD2, 0x11,
                                      0xB8, 0xFD, 0x00, 0x40, 0x95, 0x15, 0xAF, 0x39};

}  // namespace

CClassManager::CClassManager() { std::memcpy(m_Signature, kSignature, sizeof m_Signature); }

CClassManager::~CClassManager() {
  for (CClassRecord* record : m_Classes) {
    delete[] record->ancestors;
    record->ancestors = nullptr;
    record->depth = 0;
  }
  // Written through a volatile pointer: the compiler would otherwise drop
  // stores into an object that is being destroyed, and a use of the manager
  // after this point must find the signature gone.
  volatile unsigned char* signature = m_Signature;
  for (size_t i = 0; i < sizeof m_Signature; ++i) signature[i] = 0;
}

void CClassManager::CheckInitialized() const {
  if (std::memcmp(m_Signature, kSignature, sizeof m_Signature) == 0) return;
  MessageBoxA(nullptr, "The ClassManager was not initialized (constructor not called) before usage.",
              "ClassManager error", MB_ICONERROR);
  std::_Exit(1);
}

void CClassManager::Complete(CClassRecord* record, const CClassRecord* base) {
  const DWORD depth = base ? base->depth + 1 : 1;
  DWORD* ancestors = new (std::nothrow) DWORD[depth];
  if (!ancestors) ThrowMemoryError();
  ancestors[0] = m_NextClassId++;
  if (base) std::memcpy(ancestors + 1, base->ancestors, base->depth * sizeof(DWORD));
  record->ancestors = ancestors;
  record->depth = depth;
  m_Classes.push_back(record);
  CStringTreeNode::Insert(&m_NameIndex, record->className, record);
}

void CClassManager::RegisterClass(CClassRecord* record, const char* baseName) {
  CheckInitialized();
  if (!baseName || !*baseName) {
    Complete(record, nullptr);
    RegisterPendingSubclasses(record);
    return;
  }
  if (const CClassRecord* base = FindClass(baseName)) {
    Complete(record, base);
    RegisterPendingSubclasses(record);
    return;
  }
  for (PendingNode& node : m_Pending) {
    if (node.baseName == baseName) {
      node.parked.push_back(record);
      return;
    }
  }
  m_Pending.push_front(PendingNode{baseName, {record}});
}

void CClassManager::RegisterPendingSubclasses(CClassRecord* record) {
  // There is at most one node per base name: registration reuses it.
  for (auto node = m_Pending.begin(); node != m_Pending.end(); ++node) {
    if (node->baseName != record->className) continue;
    // Taken out first: completing a parked class changes the list again.
    std::vector<CClassRecord*> parked = std::move(node->parked);
    m_Pending.erase(node);
    for (auto it = parked.rbegin(); it != parked.rend(); ++it) {
      Complete(*it, record);
      RegisterPendingSubclasses(*it);
    }
    return;
  }
}

const CClassRecord* CClassManager::FindClass(const char* name) const {
  void* found = nullptr;
  if (!CStringTreeNode::Lookup(m_NameIndex.GetRoot(), name, &found)) return nullptr;
  return static_cast<const CClassRecord*>(found);
}
