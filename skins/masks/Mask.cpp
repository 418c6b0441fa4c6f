#include "skins/masks/Mask.h"

#include <new>

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMask, CTypedObject)

CMask::~CMask() { Free(); }

void CMask::Create(INT width, INT height) {
  Free();
  if (width < 0 || height < 0) ThrowError<CError>(LocalText("GenericError.Caption", "Error"), GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
  const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
  m_Bytes = new (std::nothrow) BYTE[size ? size : 1];
  if (!m_Bytes) ThrowMemoryError();
  m_Width = width;
  m_Height = height;
}

void CMask::Attach(BYTE* bytes, INT width, INT height) {
  Free();
  m_Bytes = bytes;
  m_Width = width;
  m_Height = height;
}

void CMask::Detach() noexcept {
  m_Bytes = nullptr;
  m_Width = 0;
  m_Height = 0;
}

void CMask::Free() noexcept {
  delete[] m_Bytes;
  m_Bytes = nullptr;
  m_Width = 0;
  m_Height = 0;
}

void CMask::Invert() noexcept {
  if (!m_Bytes) return;
  const size_t size = static_cast<size_t>(m_Width) * static_cast<size_t>(m_Height);
  for (size_t i = 0; i < size; ++i) m_Bytes[i] = m_Bytes[i] == 0 ? 1 : 0;
}
