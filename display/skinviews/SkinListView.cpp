#include "display/skinviews/SkinListView.h"

#include "display/skinviews/SkinViewColors.h"
#include "display/window/WindowHost.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkinListView, CTypedObject)

namespace {

constexpr DWORD kLogDisplayWarning = 0x300;

}  // namespace

bool CSkinListView::Create(const char* name, DWORD style, int x, int y, int width, int height, HWND parent, UINT id,
                           HIMAGELIST images) {
  Destroy();
  m_List = CreateWindowExA(0, WC_LISTVIEWA, name, style | LVS_SHAREIMAGELISTS, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!m_List) {
    Destroy();
    return false;
  }
  SetWindowLongPtrA(m_List, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_PreviousListProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(m_List, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
  if (!images) images = GetWindowHost().GetSmallIconList();
  SendMessageA(m_List, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  if ((style & LVS_TYPEMASK) == LVS_REPORT) {
    m_ReportView = true;
    SubclassHeader();
  }
  UpdateColors();
  return true;
}

void CSkinListView::Destroy() {
  if (m_Brush) DeleteObject(m_Brush);
  m_Brush = nullptr;
  Unsubclass();
  if (m_List) {
    SetWindowLongPtrA(m_List, GWL_USERDATA, 0);
    DestroyWindow(m_List);
  }
  m_List = nullptr;
  m_PreviousListProc = nullptr;
  m_ReportView = false;
}

void CSkinListView::UpdateColors() {
  if (m_Brush) DeleteObject(m_Brush);
  const SkinViewColors colors = GetSkinListColors();
  m_BackgroundColor = colors.background;
  m_TextColor = colors.text;
  m_Brush = CreateSolidBrush(m_BackgroundColor);
  if (!m_Brush)
    LogFormat(kLogDisplayWarning, "%s\n",
              LocalText("CSkinListView.ErrorCreatingBrush",
                        "Warning: error creating brush. Wrong colors might be the result.")
                  .c_str());
  if (!m_List) return;
  SendMessageA(m_List, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(m_TextColor));
  SendMessageA(m_List, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(m_BackgroundColor));
  SendMessageA(m_List, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(m_BackgroundColor));
  if (m_Header) InvalidateRect(m_Header, nullptr, TRUE);
}

void CSkinListView::SubclassHeader() {
  Unsubclass();
  if (!m_ReportView || !m_List) return;
  m_Header = reinterpret_cast<HWND>(SendMessageA(m_List, LVM_GETHEADER, 0, 0));
  if (!m_Header) return;
  m_PreviousHeaderProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(m_Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderProc)));
}

void CSkinListView::Unsubclass() {
  if (m_Header && m_PreviousHeaderProc && IsWindow(m_Header))
    SetWindowLongPtrA(m_Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_PreviousHeaderProc));
  m_Header = nullptr;
  m_PreviousHeaderProc = nullptr;
}

LRESULT CSkinListView::AnswerHeaderDraw(NMCUSTOMDRAW* draw) const {
  if (draw->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->dwDrawStage == CDDS_ITEMPREPAINT) {
    SetBkColor(draw->hdc, m_BackgroundColor);
    SetTextColor(draw->hdc, m_TextColor);
  }
  return CDRF_DODEFAULT;
}

LRESULT CALLBACK CSkinListView::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CSkinListView*>(GetWindowLongPtrA(window, GWL_USERDATA));
  if (!self || !self->m_PreviousListProc) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NOTIFY && self->m_ReportView) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == NM_CUSTOMDRAW && header->hwndFrom == self->m_Header)
      return self->AnswerHeaderDraw(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
  }
  return CallWindowProcA(self->m_PreviousListProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CSkinListView::HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The list object: the first window up the parent chain whose procedure
  // is the list procedure.
  CSkinListView* self = nullptr;
  for (HWND up = GetParent(window); up && !self; up = GetParent(up))
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(up, GWLP_WNDPROC)) == &ListProc)
      self = reinterpret_cast<CSkinListView*>(GetWindowLongPtrA(up, GWL_USERDATA));
  if (!self || !self->m_PreviousHeaderProc) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_ERASEBKGND && self->m_Brush) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, self->m_Brush);
    return 1;
  }
  return CallWindowProcA(self->m_PreviousHeaderProc, window, message, wParam, lParam);
}
