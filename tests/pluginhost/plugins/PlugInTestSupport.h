// Shared by the plug-in loading tests: the fixture plug-ins, the trace
// they write, and wrappers of plug-in objects that stand in for the kinds'
// own (they add nothing to the common head).
#pragma once

#include <string>
#include <vector>

#include "pluginhost/objects/ConfigurableObject.h"
#include "pluginhost/plugins/PlugInObjectHead.h"

namespace plugintest {

// The built fixture "<name>.dll".
std::string FixturePath(const std::string& name);
// Copies a fixture into `folder` under `fileName`.
void CopyFixture(const std::string& name, const std::string& folder, const std::string& fileName);

// How often `part` occurs in `text`.
size_t Count(const std::string& text, const std::string& part);

// Points the fixtures' trace at a fresh file; Lines() reads what they wrote.
class FixtureTrace {
 public:
  FixtureTrace();
  ~FixtureTrace();
  std::vector<std::string> Lines() const;
  bool Contains(const std::string& line) const;

 private:
  std::string m_Path;
};

}  // namespace plugintest

// A wrapper of a version-1 object of any kind.
class CTestObject : public CConfigurableObject {
  TWL_DECLARE_CLASS(CTestObject)
 public:
  bool Init(const void* table, const char* name, const char* plugInName) {
    return m_Head.Init(table, name, plugInName);
  }
  CPlugInObjectHead& Head() { return m_Head; }

  void* GetHandle() override { return m_Head.GetHandle(); }
  const char* GetName() override { return m_Head.GetName(); }
  const char* GetDescription() override { return m_Head.GetDescription(); }
  int GetImageIndex() override { return m_Head.GetImageIndex(); }
  bool HasConfigure() override { return m_Head.HasConfigure(); }
  bool Configure(HWND owner) override { return m_Head.Configure(owner); }
  bool HasInfo() override { return m_Head.HasInfo(); }
  bool ShowInfo(HWND owner) override { return m_Head.ShowInfo(owner); }

 protected:
  CPlugInObjectHead m_Head{*this};
};

// A wrapper of a version-2 object of any kind.
class CTestObject2 : public CTestObject {
  TWL_DECLARE_CLASS(CTestObject2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return m_Head.Init2(table, context, name, key, plugInName);
  }
};
