#include "display/controls/DDControlList.h"

#include <algorithm>

#include "display/controls/DDControl.h"

int CDDControlList::Add(CDDControl* control) {
  if (m_Count == m_Capacity) {
    auto grown = std::make_unique<CDDControl*[]>(static_cast<size_t>(m_Capacity + kGrowth));
    std::copy(m_Controls.get(), m_Controls.get() + m_Count, grown.get());
    m_Controls = std::move(grown);
    m_Capacity += kGrowth;
  }
  m_Controls[m_Count++] = control;
  return m_Count;
}

void CDDControlList::RemoveAt(int index, bool deleteControl) {
  if (index < 0 || index >= m_Count) return;
  CDDControl* control = m_Controls[index];
  std::copy(m_Controls.get() + index + 1, m_Controls.get() + m_Count, m_Controls.get() + index);
  if (--m_Count == 0) {
    m_Controls.reset();
    m_Capacity = 0;
  }
  if (deleteControl) delete control;
}

int CDDControlList::Remove(CDDControl* control, bool deleteControl) {
  for (int index = 0; index < m_Count; ++index) {
    if (m_Controls[index] != control) continue;
    RemoveAt(index, deleteControl);
    return 1;
  }
  return 0;
}

void CDDControlList::RemoveAll(bool deleteControl) {
  while (m_Count > 0) RemoveAt(m_Count - 1, deleteControl);
}

void CDDControlList::DestroyAll(bool deleteControl) {
  ForEach([](CDDControl& control) { control.Destroy(); });
  RemoveAll(deleteControl);
}

CDDControl* CDDControlList::GetAt(int index) const {
  return index >= 0 && index < m_Count ? m_Controls[index] : nullptr;
}

CDDControl* CDDControlList::FindById(int id) const {
  for (int index = 0; index < m_Count; ++index)
    if (m_Controls[index]->GetId() == id) return m_Controls[index];
  return nullptr;
}

CDDControl* CDDControlList::FindInteractiveAt(int x, int y) const {
  for (int index = 0; index < m_Count; ++index) {
    CDDControl* control = m_Controls[index];
    if (control->HitTest(x, y) && control->IsInteractive()) return control;
  }
  return nullptr;
}

// A control's handler may remove controls from the list (a click that
// closes a page): the index is checked against the count each time.
template <typename Action>
void CDDControlList::ForEach(Action action) {
  for (int index = 0; index < m_Count; ++index) action(*m_Controls[index]);
}

void CDDControlList::OnMouseMove(int x, int y) {
  ForEach([&](CDDControl& control) { control.OnMouseMove(x, y); });
}

void CDDControlList::OnMouseDown(int button, int x, int y) {
  ForEach([&](CDDControl& control) { control.OnMouseDown(button, x, y); });
}

void CDDControlList::OnMouseUp(int button, int x, int y) {
  ForEach([&](CDDControl& control) { control.OnMouseUp(button, x, y); });
}

void CDDControlList::OnMouseWheel(int delta) {
  ForEach([&](CDDControl& control) { control.OnMouseWheel(delta); });
}

void CDDControlList::OnKeyDown(int key, int flags) {
  ForEach([&](CDDControl& control) { control.OnKeyDown(key, flags); });
}

void CDDControlList::OnKeyUp(int key) {
  ForEach([&](CDDControl& control) { control.OnKeyUp(key); });
}

int CDDControlList::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) {
  int all = 1;
  ForEach([&](CDDControl& control) {
    RECT common;
    if (clip && !IntersectRect(&common, clip, &control.GetRect())) return;
    if (!control.Draw(surface, x, y, clip)) all = 0;
  });
  return all;
}

int CDDControlList::RestoreSurfaces() {
  for (int index = 0; index < m_Count; ++index)
    if (!m_Controls[index]->RestoreSurfaces()) return 0;
  return 1;
}
