#include "foundation/kernel/Localizer.h"

#include <cstring>

#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CStringLocalizer, CTypedObject)

CStringLocalizer::CStringLocalizer() { InitializeCriticalSection(&m_Lock); }

CStringLocalizer::~CStringLocalizer() { DeleteCriticalSection(&m_Lock); }

const char* CStringLocalizer::GetString(const char* key, const char* defaultText) {
  EnterCriticalSection(&m_Lock);
  const char* text = m_Provider ? m_Provider->Lookup(key, defaultText) : nullptr;
  void* found = nullptr;
  if (!text && m_KeyTable.GetRoot() && CStringTreeNode::Lookup(m_KeyTable.GetRoot(), key, &found))
    text = static_cast<const char*>(found);
  LeaveCriticalSection(&m_Lock);
  return text ? text : defaultText;
}

void CStringLocalizer::AddString(const char* key, const char* text) {
  const size_t length = std::strlen(text);
  std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
  if (!copy) ThrowMemoryError();
  std::memcpy(copy.get(), text, length + 1);
  EnterCriticalSection(&m_Lock);
  try {
    m_OwnedTexts.push_back(std::move(copy));
    CStringTreeNode::Insert(&m_KeyTable, key, m_OwnedTexts.back().get());
  } catch (...) {
    LeaveCriticalSection(&m_Lock);
    throw;
  }
  LeaveCriticalSection(&m_Lock);
}

void CStringLocalizer::SetProvider(CTextProvider* provider) {
  EnterCriticalSection(&m_Lock);
  m_Provider = provider;
  LeaveCriticalSection(&m_Lock);
}
