// FilterPattern: one description a file filter offers the host's open
// dialogs ("Image files (*.bmp,...)"), and the test of names against it.
// ExtensionFilterPattern accepts names by their last extension. The texts
// are host copies the pattern owns.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "plugins/pluginsdk/PointerList.h"

namespace pluginsdk {

class FilterPattern {
 public:
  // `constructed` is cleared when a text was given but not copied.
  FilterPattern(bool& constructed, const char* text);
  virtual ~FilterPattern();
  FilterPattern(const FilterPattern&) = delete;
  FilterPattern& operator=(const FilterPattern&) = delete;

  // The pattern's own copy, not a new one.
  virtual const char* GetText();
  // Sets results[i] to 1 for each name the pattern accepts and leaves the
  // others alone.
  virtual bool Test(int32_t nameCount, const char* const* names, DWORD* results) = 0;

 protected:
  const HostApiTable& Host() const { return *m_Host; }

 private:
  const HostApiTable* m_Host;
  char* m_Text;
};

class ExtensionFilterPattern : public FilterPattern {
 public:
  // The extensions without their leading dot.
  ExtensionFilterPattern(bool& constructed, const char* text, int extensionCount, const char* const* extensions);
  ~ExtensionFilterPattern() override;

  // A name is accepted when the text after its last dot is one of the
  // extensions, without regard to case.
  bool Test(int32_t nameCount, const char* const* names, DWORD* results) override;

 private:
  bool Accepts(const char* name) const;

  PointerList m_Extensions{10};
};

}  // namespace pluginsdk
