#include "display/tooltips/TooltipManager.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CTooltipManager, CTypedObject)

CSkinTooltip* CTooltipManager::Add(HWND owner, const RECT* toolRect, const char* text) {
  auto tooltip = std::make_unique<CSkinTooltip>();
  if (!tooltip->Create(owner, toolRect, text, nullptr, CSkinTooltip::kDefaultDelay)) return nullptr;
  tooltip->SetEnabled(m_Enabled);
  m_Tooltips.push_back(std::move(tooltip));
  return m_Tooltips.back().get();
}

void CTooltipManager::RemoveAll() { m_Tooltips.clear(); }

void CTooltipManager::OnMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      for (auto& tooltip : m_Tooltips) tooltip->OnMouseMessage(message, wParam, lParam);
      return;
    default: return;
  }
}

void CTooltipManager::Poll() {
  if (!m_Enabled) return;
  for (auto& tooltip : m_Tooltips) tooltip->Poll();
}

void CTooltipManager::EnableAll(bool enabled) {
  if (enabled == m_Enabled) return;
  m_Enabled = enabled;
  for (auto& tooltip : m_Tooltips) tooltip->SetEnabled(enabled);
}
