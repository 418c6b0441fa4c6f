#include "kilnar/recorder/ScsiMan.h"

#include "kilnar/recorder/AspiLayer.h"
#include "kilnar/recorder/AspiTarget.h"

ScsiMan::~ScsiMan() { UnloadAspiLayer(); }

bool ScsiMan::FindHostAdapters() {
  AspiTarget binding(0, 0, 0);
  if (!binding.GetSupportInfo()) {
    m_ErrorText = GetAspiErrorText();
    return false;
  }
  m_HostAdapterCount = GetAspiHostAdapterCount();
  if (m_HostAdapterCount == 0) {
    m_ErrorText = "No Host Adapter found";
    return false;
  }
  return true;
}
