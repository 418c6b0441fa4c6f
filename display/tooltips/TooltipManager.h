// CTooltipManager: the tooltips of one window. The window hands it every
// message before its own dispatch (only the mouse messages matter), its
// tick calls Poll, and the user interface switches all of them on or off.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "display/tooltips/SkinTooltip.h"
#include "foundation/kernel/TypedObject.h"

class CTooltipManager : public CTypedObject {
  TWL_DECLARE_CLASS(CTooltipManager)
 public:
  CTooltipManager() noexcept = default;
  CTooltipManager(const CTooltipManager&) = delete;
  CTooltipManager& operator=(const CTooltipManager&) = delete;
  ~CTooltipManager() override { RemoveAll(); }

  // A new tooltip over `toolRect` of `owner` (null: all of it), owned by
  // the manager; null with the reason in the thread error state.
  CSkinTooltip* Add(HWND owner, const RECT* toolRect, const char* text);
  void RemoveAll();
  void OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Poll();
  void EnableAll(bool enabled);

  bool IsEnabled() const { return m_Enabled; }
  size_t GetCount() const { return m_Tooltips.size(); }
  CSkinTooltip* GetTooltip(size_t index) const { return m_Tooltips[index].get(); }

 private:
  std::vector<std::unique_ptr<CSkinTooltip>> m_Tooltips;
  bool m_Enabled = true;
};
