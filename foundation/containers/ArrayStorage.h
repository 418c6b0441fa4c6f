// The element block shared by the library's growable arrays. When a block
// must grow it grows by the owner's fixed step, or by an eighth of the
// count (at least 4, at most 1024 elements) when no step is set, so
// appending one by one costs amortised constant time. New elements are
// zero (empty for texts). Allocation failure throws the prepared
// out-of-memory error and leaves the array as it was.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include <windows.h>

#include "foundation/kernel/MemoryError.h"

template <class T>
class ArrayStorage {
 public:
  ArrayStorage() noexcept = default;
  ArrayStorage(const ArrayStorage&) = delete;
  ArrayStorage& operator=(const ArrayStorage&) = delete;
  ~ArrayStorage() { Free(); }

  INT GetCount() const { return m_Count; }
  INT GetCapacity() const { return m_Capacity; }
  T* GetData() const { return m_Data; }

  // -1 keeps the stored grow-by. A negative count is refused: nothing changes.
  void SetSize(INT count, INT growBy) {
    if (growBy >= 0) m_GrowBy = growBy;
    if (count < 0) return;
    if (count == 0) {
      Free();
      return;
    }
    if (!m_Data) {
      m_Data = Allocate(count);
      std::uninitialized_value_construct_n(m_Data, count);
      m_Capacity = count;
    } else if (count <= m_Capacity) {
      if (count > m_Count)
        std::uninitialized_value_construct_n(m_Data + m_Count, count - m_Count);
      else
        std::destroy_n(m_Data + count, m_Count - count);
    } else {
      INT step = m_GrowBy;
      if (step == 0) step = std::clamp(m_Count / 8, 4, 1024);
      const long long wanted = std::max<long long>(count, static_cast<long long>(m_Capacity) + step);
      const INT capacity = static_cast<INT>(std::min<long long>(wanted, kMaxCount));
      T* data = Allocate(capacity);
      std::uninitialized_move_n(m_Data, m_Count, data);
      std::uninitialized_value_construct_n(data + m_Count, count - m_Count);
      std::destroy_n(m_Data, m_Count);
      ::operator delete(m_Data);
      m_Data = data;
      m_Capacity = capacity;
    }
    m_Count = count;
  }

  void SetAtGrow(INT index, const T& value) {
    if (index < 0 || index >= kMaxCount) return;
    if (index >= m_Count) SetSize(index + 1, -1);
    m_Data[index] = value;
  }

  // Below the count: n slots open at index; at or beyond it: the array
  // grows to index + n. Either way the n slots from index take the value.
  void InsertAt(INT index, const T& value, INT n) {
    if (index < 0 || n <= 0 || static_cast<long long>(std::max(index, m_Count)) + n > kMaxCount) return;
    const T copy = value;  // value may be an element that moves
    if (index < m_Count) {
      const INT oldCount = m_Count;
      SetSize(m_Count + n, -1);
      std::move_backward(m_Data + index, m_Data + oldCount, m_Data + oldCount + n);
    } else {
      SetSize(index + n, -1);
    }
    std::fill_n(m_Data + index, n, copy);
  }

  // Removes up to n elements at index, as many as the array holds there.
  INT RemoveAt(INT index, INT n) {
    if (index < 0 || index >= m_Count || n <= 0) return m_Count;
    n = std::min(n, m_Count - index);
    std::move(m_Data + index + n, m_Data + m_Count, m_Data + index);
    std::destroy_n(m_Data + m_Count - n, n);
    m_Count -= n;
    return m_Count;
  }

 private:
  static constexpr INT kMaxCount = 0x7FFFFFFF;

  static T* Allocate(INT count) {
    void* memory = ::operator new(sizeof(T) * static_cast<size_t>(count), std::nothrow);
    if (!memory) ThrowMemoryError();
    return static_cast<T*>(memory);
  }

  void Free() {
    std::destroy_n(m_Data, m_Count);
    ::operator delete(m_Data);
    m_Data = nullptr;
    m_Count = 0;
    m_Capacity = 0;
  }

  T* m_Data = nullptr;
  INT m_Count = 0;
  INT m_Capacity = 0;
  INT m_GrowBy = 0;
};
