// CFTPLoginDataBase: the user's saved FTP servers, keyed case-insensitively
// by their key (alias, else host), and the ftplogins.dat format they are
// loaded from and saved to. Every operation holds the database's recursive
// lock; a caller walking GetKeyTree holds it too (GetLock) for its walk.
// A removed login leaves its key node behind without a login until the
// next Clear; such nodes count as absent.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/StringTree.h"
#include "foundation/kernel/TypedObject.h"
#include "plugins/netvarra/ftp/FTPLogin.h"

class CStream;

class CFTPLoginDataBase : public CTypedObject {
  TWL_DECLARE_CLASS(CFTPLoginDataBase)
 public:
  CFTPLoginDataBase() = default;
  ~CFTPLoginDataBase() override;
  CFTPLoginDataBase(const CFTPLoginDataBase&) = delete;
  CFTPLoginDataBase& operator=(const CFTPLoginDataBase&) = delete;

  // Stores a copy under its key, replacing a login with the same key.
  void Add(const CFTPLogin& login);
  void Remove(const char* key);
  bool Get(const char* key, CFTPLogin& login);
  bool Exists(const char* key);
  // Get, else the logins of that host in the order they were added: the
  // first anonymous one, else the first one.
  bool Lookup(const char* text, CFTPLogin& login);
  void Clear();

  // Reads a database written by Save; returns the bytes read. Any error
  // (a corrupt file, or CStreamError 8 when it is shorter than its lengths
  // say) leaves the database empty and is rethrown.
  DWORD Load(CStream& stream);
  void Save(CStream& stream);

  // Root of the key tree (values are CFTPLogin*, null for removed logins);
  // walk it only while holding GetLock.
  CStringTreeNode* GetKeyTree() { return m_ByKey.GetRoot(); }
  CriticalSection& GetLock() { return m_Lock; }

 private:
  void LoadRecords(CStream& stream, DWORD payload);
  void ForgetFromHost(CFTPLogin* login);

  CriticalSection m_Lock;
  CStringTreeNode m_ByKey;
  std::map<std::string, std::vector<CFTPLogin*>> m_ByHost;
};
