#include "foundation/ini/IniData.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CIniData, CTypedObject)

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes of multi-byte characters never fall into A-Z, so they stay as they
// stand and names compare without regard to case only in their ASCII
// letters.
std::string LookupKey(const char* name) {
  std::string key(name);
  for (char& c : key) c = LowerAscii(c);
  return key;
}

}  // namespace

CIniData::~CIniData() { RemoveAll(); }

void CIniData::AddItem(CIniItem* item) {
  if (!item) return;
  // The map is made room in first, so a failure leaves the item with the
  // caller and the chain as it was.
  CIniItem*& named = m_ByName[LookupKey(item->GetName().c_str())];
  item->SetNext(m_Head);
  m_Head = item;
  named = item;
}

CIniItem* CIniData::FindItem(const char* name) const {
  const auto found = m_ByName.find(LookupKey(name ? name : ""));
  return found == m_ByName.end() ? nullptr : found->second;
}

void CIniData::RemoveAll() noexcept {
  m_ByName.clear();
  while (m_Head) {
    CIniItem* next = m_Head->GetNext();
    delete m_Head;
    m_Head = next;
  }
}
