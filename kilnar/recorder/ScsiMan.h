// The drive factory the burn job makes once: it binds the ASPI layer and
// counts the host adapters; the recorder objects come from it later.
// Destroying it unbinds the layer. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

class ScsiMan {
 public:
  ScsiMan() = default;
  ScsiMan(const ScsiMan&) = delete;
  ScsiMan& operator=(const ScsiMan&) = delete;
  virtual ~ScsiMan();

  bool FindHostAdapters();
  uint16_t GetHostAdapterCount() const { return m_HostAdapterCount; }
  const char* GetErrorText() const { return m_ErrorText.c_str(); }

 private:
  uint16_t m_HostAdapterCount = 0;
  std::string m_ErrorText;
};
