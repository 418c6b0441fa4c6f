#include "display/auxwindow/AuxWindowManager.h"

#include <algorithm>

#include "display/auxwindow/AuxWindow.h"
#include "display/window/WindowHost.h"
#include "foundation/kernel/Error.h"

CAuxWindowManager::~CAuxWindowManager() { DestroyAll(true); }

void CAuxWindowManager::Add(CAuxWindow* window) {
  CriticalSectionLock lock(m_Lock);
  if (std::find(m_Windows.begin(), m_Windows.end(), window) == m_Windows.end()) m_Windows.push_back(window);
}

bool CAuxWindowManager::Remove(CAuxWindow* window) {
  GetWindowHost().EndModal(window);
  CriticalSectionLock lock(m_Lock);
  const auto found = std::find(m_Windows.begin(), m_Windows.end(), window);
  if (found == m_Windows.end()) return false;
  m_Windows.erase(found);
  return true;
}

std::vector<CAuxWindow*> CAuxWindowManager::Snapshot() {
  CriticalSectionLock lock(m_Lock);
  return m_Windows;
}

void CAuxWindowManager::DestroyAll(bool deleteWindows) {
  std::vector<CAuxWindow*> windows;
  {
    CriticalSectionLock lock(m_Lock);
    windows.swap(m_Windows);
  }
  for (CAuxWindow* window : windows) {
    window->Destroy();
    if (deleteWindows) delete window;
  }
  while (!m_Modal.empty()) {
    CAuxWindow* top = m_Modal.back();
    // The user interface pops it; without that the stack must still shrink.
    if (!GetWindowHost().EndModal(top) && !m_Modal.empty() && m_Modal.back() == top) m_Modal.pop_back();
  }
}

void CAuxWindowManager::ReleaseSkins() {
  CriticalSectionLock lock(m_Lock);
  for (CAuxWindow* window : m_Windows) window->OnSkinChange(0);
}

void CAuxWindowManager::ApplySkins() {
  CriticalSectionLock lock(m_Lock);
  for (CAuxWindow* window : m_Windows) window->OnSkinChange(1);
}

void CAuxWindowManager::PushModal(CAuxWindow* window) {
  EnableAllExcept(false, window);
  m_Modal.push_back(window);
}

bool CAuxWindowManager::PopModal(CAuxWindow* window) {
  const auto found = std::find(m_Modal.begin(), m_Modal.end(), window);
  if (found == m_Modal.end()) return false;
  m_Modal.erase(found);
  if (m_Modal.empty())
    EnableAllExcept(true, nullptr);
  else
    m_Modal.back()->Enable(true);
  return true;
}

void CAuxWindowManager::EnableAllExcept(bool enable, CAuxWindow* except) {
  for (CAuxWindow* window : Snapshot())
    if (window != except) window->Enable(enable);
}

void CAuxWindowManager::UpdateAll() {
  for (CAuxWindow* window : Snapshot()) window->Update();
}

bool CAuxWindowManager::IsOpen(const CClassRecord& record) {
  CriticalSectionLock lock(m_Lock);
  return std::any_of(m_Windows.begin(), m_Windows.end(),
                     [&](CAuxWindow* window) { return window->GetClassRecord()->IsDerivedFrom(&record); });
}

int CAuxWindowManager::GetCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<int>(m_Windows.size());
}
