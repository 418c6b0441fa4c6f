// CClassManager: gives every registered class its id and ancestor list and
// indexes completed classes by name. A class that registers before its base
// is parked under the base's name and completed, depth first, when the base
// arrives. The one manager of a module is GetClassManager(); it is built on
// first use, so classes may register from any static initialiser.
//
// Registration takes no lock: it happens during static initialisation on
// one thread. Completed records are read-only afterwards.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "foundation/kernel/ClassRecord.h"
#include "foundation/kernel/StringTree.h"

class CClassManager {
 public:
  CClassManager();
  CClassManager(const CClassManager&) = delete;
  CClassManager& operator=(const CClassManager&) = delete;
  // Frees the ancestor lists of the completed records, so records of the
  // manager's classes answer false to every type test afterwards.
  ~CClassManager();

  // Completes or parks the class; a null or empty base name registers a
  // root class.
  void RegisterClass(CClassRecord* record, const char* baseName);
  // Completes every record parked under the name of `record`, which has
  // just been completed.
  void RegisterPendingSubclasses(CClassRecord* record);
  // Ends the process with a message when the manager is not (or no longer)
  // constructed.
  void CheckInitialized() const;

  const CClassRecord* FindClass(const char* name) const;
  size_t GetClassCount() const { return m_Classes.size(); }

 private:
  struct PendingNode {
    std::string baseName;
    std::vector<CClassRecord*> parked;
  };

  void Complete(CClassRecord* record, const CClassRecord* base);

  std::vector<CClassRecord*> m_Classes;  // completion order
  CStringTreeNode m_NameIndex;           // header of the name tree
  DWORD m_NextClassId = 0;
  std::list<PendingNode> m_Pending;  // newest first
  unsigned char m_Signature[16];
};

CClassManager& GetClassManager();
