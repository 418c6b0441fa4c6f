#include "plugins/pictolan/pictures/ImageFileType.h"

#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/NameExtension.h"

namespace pictolan {

ImageFileType::ImageFileType(const char* name, const HostApiTable* host) : m_Name(name), m_Host(host) {}

ImageFileType::~ImageFileType() = default;

void ImageFileType::AddExtension(const char* extension, const char* typeText) {
  const INT index = m_Extensions.GetCount();
  m_Extensions.SetAtGrow(index, extension);
  m_TypeTexts.SetAtGrow(index, typeText);
}

bool ImageFileType::MatchesExtension(const char* extension) const {
  if (!extension) return false;
  if (*extension == '.') ++extension;
  for (INT i = 0; i < m_Extensions.GetCount(); ++i) {
    if (pluginsdk::EqualsIgnoringCase(extension, m_Extensions[i].c_str())) return true;
  }
  return false;
}

bool ImageFileType::RefuseAsUnsupported() const {
  if (m_Host) m_Host->HOST_SetMiscError(HOST_MISC_UNSUPPORTED_FILE_FORMAT);
  return false;
}

void ImageFileType::ReportAndDispose(CError* error) const noexcept { pluginsdk::ReportCaughtError(m_Host, error); }

void ImageFileType::ReportOutOfMemory() const noexcept { pluginsdk::ReportOutOfMemory(m_Host); }

}  // namespace pictolan
