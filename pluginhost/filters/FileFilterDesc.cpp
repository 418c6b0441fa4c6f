#include "pluginhost/filters/FileFilterDesc.h"

TWL_IMPLEMENT_CLASS(CFileFilterDesc, CTypedObject)
TWL_IMPLEMENT_CREATABLE_CLASS(CFileFilterDescEnum, CTypedObject)

void CFileFilterDescEnum::AddDesc(const char* name, FILEFILTER_DESCRIPTION value, void* filterHandle) {
  m_Descs.push_back(std::make_unique<CFileFilterDesc>(name ? name : "", value, filterHandle));
}
