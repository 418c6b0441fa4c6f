// CStringLocalizer: every text the system shows is fetched here by key,
// together with its English default. The answer comes from the text
// provider if one is installed and knows the key, else from the key table,
// else it is the default itself (the same pointer). Any thread may ask; a
// lock serialises the provider and the table for the lookup only.
//
// The result stays valid while the localizer lives; callers copy it into a
// CStr at once. The one localizer of a module is GetLocalizer().
#pragma once

#include <memory>
#include <vector>

#include <windows.h>

#include "foundation/kernel/StringTree.h"
#include "foundation/kernel/TypedObject.h"

// A source of localised texts; answers null for keys it does not know.
class CTextProvider {
 public:
  virtual ~CTextProvider() = default;
  virtual const char* Lookup(const char* key, const char* defaultText) = 0;
};

class CStringLocalizer : public CTypedObject {
  TWL_DECLARE_CLASS(CStringLocalizer)
 public:
  CStringLocalizer();
  CStringLocalizer(const CStringLocalizer&) = delete;
  CStringLocalizer& operator=(const CStringLocalizer&) = delete;
  ~CStringLocalizer() override;

  const char* GetString(const char* key, const char* defaultText);

  // Supplying texts. The localizer keeps its own copy of every text added;
  // the provider is not owned and must outlive its installation.
  void AddString(const char* key, const char* text);
  void SetProvider(CTextProvider* provider);

 private:
  CStringTreeNode m_KeyTable;
  std::vector<std::unique_ptr<char[]>> m_OwnedTexts;
  CRITICAL_SECTION m_Lock;
  CTextProvider* m_Provider = nullptr;
};

CStringLocalizer& GetLocalizer();
