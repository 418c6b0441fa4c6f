#include "display/skinviews/SkinTreeView.h"

#include "display/skinviews/SkinViewColors.h"
#include "display/window/WindowHost.h"
#include "twlwin/controls.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkinTreeView, CTypedObject)

bool CSkinTreeView::Create(const char* name, DWORD style, int x, int y, int width, int height, HWND parent, UINT id) {
  Destroy();
  m_Tree = CreateWindowExA(0, WC_TREEVIEWA, name, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!m_Tree) {
    Destroy();
    return false;
  }
  SendMessageA(m_Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(GetWindowHost().GetSmallIconList()));
  UpdateColors();
  return true;
}

void CSkinTreeView::Destroy() {
  if (m_Tree) DestroyWindow(m_Tree);
  m_Tree = nullptr;
}

void CSkinTreeView::UpdateColors() {
  if (!m_Tree) return;
  const SkinViewColors colors = GetSkinTreeColors();
  SendMessageA(m_Tree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colors.text));
  SendMessageA(m_Tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(colors.background));
}
