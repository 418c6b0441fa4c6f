// CIniItem: one name a reader of ini files expects, bound to the reader's
// variable that receives the parsed value and, optionally, to a flag of
// the reader's that tells whether the name was found. The typed items are
// in IniItems.h; a CIniData owns the items and chains them.
//
// A successful Parse stores the value and sets the found flag; a failed
// one leaves the variable and the flag as they were and gives the error
// text. Nothing ever clears a found flag: the reader initialises it.
#pragma once

#include "foundation/kernel/Str.h"

class CIniItem {
 public:
  CIniItem(const char* name, bool* found) : m_Name(name), m_Found(found) {}
  CIniItem(const CIniItem&) = delete;
  CIniItem& operator=(const CIniItem&) = delete;
  virtual ~CIniItem() = default;

  // `value` is the text after "=", trimmed of blanks and tabs.
  virtual bool Parse(const CStr& value, CStr& error) = 0;

  const CStr& GetName() const { return m_Name; }
  CIniItem* GetNext() const { return m_Next; }
  void SetNext(CIniItem* next) { m_Next = next; }

 protected:
  void MarkFound() {
    if (m_Found) *m_Found = true;
  }

 private:
  CStr m_Name;
  bool* m_Found;
  CIniItem* m_Next = nullptr;
};
