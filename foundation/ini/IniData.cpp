#include "foundation/ini/IniData.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CIniData, CTypedObject)

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes of multi-byte characters never fall into A-Z, so they compare as
// they stand.
bool EqualNoCase(const char* left, const char* right) {
  for (; *left && *right; ++left, ++right) {
    if (LowerAscii(*left) != LowerAscii(*right)) return false;
  }
  return *left == *right;
}

}  // namespace

CIniData::~CIniData() { RemoveAll(); }

void CIniData::AddItem(CIniItem* item) {
  if (!item) return;
  item->SetNext(m_Head);
  m_Head = item;
}

CIniItem* CIniData::FindItem(const char* name) const {
  for (CIniItem* item = m_Head; item; item = item->GetNext()) {
    if (EqualNoCase(item->GetName().c_str(), name)) return item;
  }
  return nullptr;
}

void CIniData::RemoveAll() noexcept {
  while (m_Head) {
    CIniItem* next = m_Head->GetNext();
    delete m_Head;
    m_Head = next;
  }
}
