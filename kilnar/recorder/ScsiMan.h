// The drive factory the burn job makes once: it binds the ASPI layer and
// counts the host adapters; the recorder objects come from it later.
// Destroying it unbinds the layer. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class ScsiDrive;

class ScsiMan {
 public:
  ScsiMan() = default;
  ScsiMan(const ScsiMan&) = delete;
  ScsiMan& operator=(const ScsiMan&) = delete;
  virtual ~ScsiMan();

  bool FindHostAdapters();
  uint16_t GetHostAdapterCount() const { return m_HostAdapterCount; }
  const char* GetErrorText() const { return m_ErrorText.c_str(); }
  // A new, opened recorder object of the class the drive's type number
  // selects, or null (the error text says why when a class has no maker).
  std::unique_ptr<ScsiDrive> CreateDevice(int hostAdapter, int target);
  // The type number a temporary drive at the place identifies, -1 when
  // there is no drive or no adapter.
  int IdentifyAt(int hostAdapter, int target);
  // The class CreateDevice chooses for a type number at an adapter.
  const char* ChooseClass(int type, int hostAdapter, int target);

 private:
  uint16_t m_HostAdapterCount = 0;
  std::string m_ErrorText;
};
