// CSkinTreeView: a "SysTreeView32" child of a skinned window in the skin's
// tree colours, with the program's shared small-icon list. The owner calls
// UpdateColors again after a skin change.
//
// Threading: the user-interface thread; the colours are read under the
// display lock.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CSkinTreeView : public CTypedObject {
  TWL_DECLARE_CLASS(CSkinTreeView)
 public:
  CSkinTreeView() noexcept = default;
  CSkinTreeView(const CSkinTreeView&) = delete;
  CSkinTreeView& operator=(const CSkinTreeView&) = delete;
  ~CSkinTreeView() override { Destroy(); }

  // False when the tree cannot be made.
  bool Create(const char* name, DWORD style, int x, int y, int width, int height, HWND parent, UINT id);
  void Destroy();
  void UpdateColors();

  HWND GetWindowHandle() const { return m_Tree; }

 private:
  HWND m_Tree = nullptr;
};
