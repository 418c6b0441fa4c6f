#include "plugins/pluginsdk/PointerList.h"

#include <algorithm>
#include <new>

#include "plugins/pluginsdk/OstrellMain.h"

namespace pluginsdk {

PointerList::PointerList(int growthStep) : m_GrowthStep(growthStep > 0 ? growthStep : 10) {}

PointerList::~PointerList() { delete[] m_Items; }

void* PointerList::GetAt(int index) const {
  if (index < 0 || index >= m_Count) {
    SetMainMiscError(HOST_MISC_INVALID_PARAM);
    return nullptr;
  }
  return m_Items[index];
}

bool PointerList::InsertAt(int index, void* item) {
  if (index < 0 || index > m_Count) {
    SetMainMiscError(HOST_MISC_INVALID_PARAM);
    return false;
  }
  if (m_Count == m_Capacity && !SetCapacity(m_Capacity + m_GrowthStep)) return false;
  std::copy_backward(m_Items + index, m_Items + m_Count, m_Items + m_Count + 1);
  m_Items[index] = item;
  ++m_Count;
  return true;
}

bool PointerList::SetCapacity(int capacity) {
  if (capacity < 0) {
    SetMainMiscError(HOST_MISC_INVALID_PARAM);
    return false;
  }
  void** items = nullptr;
  if (capacity > 0) {
    items = new (std::nothrow) void*[capacity]();
    if (!items) {
      SetMainMiscError(HOST_MISC_OUT_OF_MEMORY);
      return false;
    }
  }
  const int kept = std::min(m_Count, capacity);
  std::copy(m_Items, m_Items + kept, items);
  delete[] m_Items;
  m_Items = items;
  m_Capacity = capacity;
  m_Count = kept;
  return true;
}

bool PointerList::SetSize(int size) {
  if (!SetCapacity(size)) return false;
  m_Count = size;
  return true;
}

}  // namespace pluginsdk
