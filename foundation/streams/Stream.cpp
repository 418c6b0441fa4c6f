#include "foundation/streams/Stream.h"

#include <iterator>

TWL_IMPLEMENT_CLASS(CStream, CTypedObject)

void CStream::SetProperty(DWORD index, DWORD value) {
  if (index < std::size(m_Properties)) m_Properties[index] = value;
}

DWORD CStream::GetProperty(DWORD index) { return index < std::size(m_Properties) ? m_Properties[index] : 0; }

CStreamError* CStream::GetPendingError() { return nullptr; }

DWORD CStream::GetContentType(CStr& type) {
  type = CStr();
  return 1;
}
