// CIniData: what a reader expects of an ini file, as a chain of typed
// items that it owns. The item added last is the head, and FindItem
// searches from the head, so of two items with the same name the later
// one answers. Names are looked up in a map, so a file of many lines
// against many items costs no more than the lines. Belongs to one reader;
// the items' variables must outlive every parse.
#pragma once

#include <string>
#include <unordered_map>

#include "foundation/ini/IniItem.h"
#include "foundation/kernel/TypedObject.h"

class CIniData : public CTypedObject {
  TWL_DECLARE_CLASS(CIniData)
 public:
  CIniData() noexcept = default;
  CIniData(const CIniData&) = delete;
  CIniData& operator=(const CIniData&) = delete;
  ~CIniData() override;

  // Takes the item (from new) over and makes it the head.
  void AddItem(CIniItem* item);
  // The first item from the head whose name equals `name`, ASCII letters
  // compared without regard to case and other bytes exactly; null when
  // there is none.
  CIniItem* FindItem(const char* name) const;
  // Deletes every item.
  void RemoveAll() noexcept;

  CIniItem* GetHead() const { return m_Head; }

 private:
  CIniItem* m_Head = nullptr;
  // By name with ASCII letters in lower case: the item FindItem answers.
  std::unordered_map<std::string, CIniItem*> m_ByName;
};
