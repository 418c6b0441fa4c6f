// PointerList: a growable array of pointers that reports its failures as
// the plug-in's thread error (MiscError 1 for an index or size out of
// range, 2 for a shortage of memory) and answers false, instead of
// throwing. It owns its array, not the items. One thread at a time.
#pragma once

#include <windows.h>

namespace pluginsdk {

class PointerList {
 public:
  // A step of 0 or less becomes 10.
  explicit PointerList(int growthStep = 10);
  ~PointerList();
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;

  int GetCount() const { return m_Count; }
  // Null, with MiscError 1, for an index out of range.
  void* GetAt(int index) const;

  // 0 <= index <= count; grows by the step when full.
  bool InsertAt(int index, void* item);
  bool Append(void* item) { return InsertAt(m_Count, item); }
  // Room for exactly `capacity` items (0 frees the array); a larger count
  // is cut.
  bool SetCapacity(int capacity);
  // SetCapacity, then that many items (new ones null).
  bool SetSize(int size);
  // Forgets every item and frees the array.
  void Clear() { SetCapacity(0); }

 private:
  int m_GrowthStep;
  int m_Count = 0;
  int m_Capacity = 0;
  void** m_Items = nullptr;
};

}  // namespace pluginsdk
