#include "kilnar/app/PrjElement.h"

#include "kilnar/recorder/FileInfo.h"

std::string PrjElement::GetName() const { return m_Name.empty() ? "<Unbenannt>" : m_Name; }

int PrjElement::Compare(const Node* other) const {
  if (!other) return -1;
  if (other->GetType() == kTypeIsoTrack) return 1;
  const auto* element = dynamic_cast<const PrjElement*>(other);
  if (!element) return 1;
  return m_Position < element->m_Position ? -1 : m_Position > element->m_Position ? 1 : 0;
}

bool PrjElement::HasFile() const {
  bool isFolder = false;
  return !m_Name.empty() && GetFileInfo(m_Name.c_str(), &isFolder, nullptr, nullptr, nullptr, nullptr) && !isFolder;
}

uint32_t PrjElement::GetFileSize() const { return m_Name.empty() ? 0 : GetFileSizeOf(m_Name.c_str()); }

void PrjElement::CopyElement(const PrjElement& from) {
  m_Name = from.m_Name;
  m_Position = from.m_Position;
  CloneChildren(from);
}
