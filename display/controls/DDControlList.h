// CDDControlList: the surface-drawn controls of one window, in order. It
// hands each input event and each paint to every control in that order.
// It owns its controls only as far as a remove is asked to delete them.
// The array grows by ten entries when full and is freed when the last
// control goes. User-interface thread.
#pragma once

#include <windows.h>

#include <memory>

class CDDControl;

class CDDControlList {
 public:
  static constexpr int kGrowth = 10;

  CDDControlList() = default;
  CDDControlList(const CDDControlList&) = delete;
  CDDControlList& operator=(const CDDControlList&) = delete;
  virtual ~CDDControlList() = default;

  // The new count.
  int Add(CDDControl* control);
  void RemoveAt(int index, bool deleteControl);
  // 1 when found.
  int Remove(CDDControl* control, bool deleteControl);
  void RemoveAll(bool deleteControl);
  // Destroy on every control, then RemoveAll.
  void DestroyAll(bool deleteControl);
  // Null outside 0 .. count - 1.
  CDDControl* GetAt(int index) const;
  int GetCount() const { return m_Count; }
  int GetCapacity() const { return m_Capacity; }
  CDDControl* FindById(int id) const;
  // The first interactive control whose rectangle holds the point: where
  // the window must not be dragged. Labels never count.
  CDDControl* FindInteractiveAt(int x, int y) const;

  void OnMouseMove(int x, int y);
  void OnMouseDown(int button, int x, int y);
  void OnMouseUp(int button, int x, int y);
  void OnMouseWheel(int delta);
  void OnKeyDown(int key, int flags);
  void OnKeyUp(int key);
  // Draws every control meeting the clip (all without one); 1 only when
  // all succeeded, but a failure does not stop the others.
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip);
  // Stops at the first control that fails.
  int RestoreSurfaces();

 private:
  template <typename Action>
  void ForEach(Action action);

  std::unique_ptr<CDDControl*[]> m_Controls;
  int m_Count = 0;
  int m_Capacity = 0;
};
