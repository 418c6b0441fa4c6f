// The answers every configurable object gives (handle, name, description,
// image, dialogs) filled in as an object with a name and nothing else: no
// picture and no dialogs. Test doubles of filters, identifiers, players and
// visualizers derive from it and write out only what they script. Its
// handle is the object.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace twltest {

template <class Base>
class StubConfigurableObject : public Base {
 public:
  explicit StubConfigurableObject(std::string name) : m_Name(std::move(name)) {}

  void* GetHandle() override { return this; }
  const char* GetName() override { return m_Name.c_str(); }
  const char* GetDescription() override { return ""; }
  int GetImageIndex() override { return -1; }
  bool HasConfigure() override { return false; }
  bool Configure(HWND) override { return true; }
  bool HasInfo() override { return false; }
  bool ShowInfo(HWND) override { return true; }

 protected:
  const std::string& Name() const { return m_Name; }

 private:
  std::string m_Name;
};

}  // namespace twltest
