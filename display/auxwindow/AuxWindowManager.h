// CAuxWindowManager: the list of created aux windows and the stack of
// modal ones. The user interface owns one; skin changes reach every
// listed window through it, and a modal window disables the others and
// the main window until it closes (modal windows stack: closing the top
// one enables the one below).
//
// Threading: the user-interface thread; the lock guards the list only.
#pragma once

#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"

class CAuxWindow;
struct CClassRecord;

class CAuxWindowManager : public CTypedObject {
 public:
  CAuxWindowManager() = default;
  CAuxWindowManager(const CAuxWindowManager&) = delete;
  CAuxWindowManager& operator=(const CAuxWindowManager&) = delete;
  ~CAuxWindowManager() override;

  void Add(CAuxWindow* window);
  // Ends the window's modal state, then unlists it; true when listed.
  bool Remove(CAuxWindow* window);
  // Destroys every listed window (outside the lock) and, when asked,
  // deletes it; then ends what is left on the modal stack.
  void DestroyAll(bool deleteWindows);
  // Around a skin change: before the old skin goes, after the new one is in.
  void ReleaseSkins();
  void ApplySkins();
  void PushModal(CAuxWindow* window);
  // False when the window is not on the stack.
  bool PopModal(CAuxWindow* window);
  void EnableAllExcept(bool enable, CAuxWindow* except);
  void UpdateAll();
  bool IsOpen(const CClassRecord& record);

  int GetCount();
  int GetModalCount() const { return static_cast<int>(m_Modal.size()); }
  CAuxWindow* GetTopModal() const { return m_Modal.empty() ? nullptr : m_Modal.back(); }

 private:
  std::vector<CAuxWindow*> Snapshot();

  std::vector<CAuxWindow*> m_Windows;
  std::vector<CAuxWindow*> m_Modal;
  CriticalSection m_Lock;
};
