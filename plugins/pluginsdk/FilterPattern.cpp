#include "plugins/pluginsdk/FilterPattern.h"

#include "plugins/pluginsdk/NameExtension.h"
#include "plugins/pluginsdk/OstrellMain.h"

namespace pluginsdk {

FilterPattern::FilterPattern(bool& constructed, const char* text)
    : m_Host(GetMainHost()), m_Text(text ? m_Host->HOST_AllocString(text) : nullptr) {
  constructed = !text || m_Text;
}

FilterPattern::~FilterPattern() {
  if (m_Text) m_Host->HOST_Free(m_Text);
}

const char* FilterPattern::GetText() { return m_Text; }

ExtensionFilterPattern::ExtensionFilterPattern(bool& constructed, const char* text, int extensionCount,
                                               const char* const* extensions)
    : FilterPattern(constructed, text) {
  // Room for every extension at once, so that filling cannot fail but by
  // a copy.
  if (!m_Extensions.SetCapacity(extensionCount)) {
    constructed = false;
    return;
  }
  for (int index = 0; index < extensionCount; ++index) {
    char* copy = Host().HOST_AllocString(extensions[index]);
    if (!copy || !m_Extensions.Append(copy)) {
      if (copy) Host().HOST_Free(copy);
      constructed = false;
      return;
    }
  }
}

ExtensionFilterPattern::~ExtensionFilterPattern() {
  for (int index = 0; index < m_Extensions.GetCount(); ++index) Host().HOST_Free(m_Extensions.GetAt(index));
}

bool ExtensionFilterPattern::Accepts(const char* name) const {
  const char* extension = LastExtension(name);
  if (!extension) return false;
  for (int index = 0; index < m_Extensions.GetCount(); ++index) {
    if (EqualsIgnoringCase(extension, static_cast<const char*>(m_Extensions.GetAt(index)))) return true;
  }
  return false;
}

bool ExtensionFilterPattern::Test(int32_t nameCount, const char* const* names, DWORD* results) {
  for (int32_t index = 0; index < nameCount; ++index) {
    if (Accepts(names[index])) results[index] = 1;
  }
  return true;
}

}  // namespace pluginsdk
