#include "foundation/streams/TempStream.h"

#include "foundation/kernel/Error.h"
#include "foundation/streams/DiskFileStream.h"

TWL_IMPLEMENT_CLASS(CTempStream, CStream)

namespace {

// Deletes exactly the file the URL names: the scheme is stripped only when
// it is there, so a temporary file named by a plain path is the one removed.
void DeleteFileOfURL(const CStr& url) {
  const char* path = CDiskFileStream::PathOfURL(url.c_str());
  if (path && *path) DeleteFileA(path);
}

}  // namespace

void CTempStream::Close() {
  CStr url;
  m_Inner->GetURL(url);
  m_Inner->Close();
  m_Inner = nullptr;
  DeleteFileOfURL(url);
  delete this;
}

// A temporary stream ended without Close still releases the file.
CTempStream::~CTempStream() {
  if (!m_Inner) return;
  CStr url;
  try {
    m_Inner->GetURL(url);
  } catch (CError* error) {
    DisposeError(error);
    url = CStr();
  }
  m_Inner->CloseNoThrow();
  DeleteFileOfURL(url);
}

void CTempStream::CloseNoThrow() { delete this; }
