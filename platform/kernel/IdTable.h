// A table that hands out 32-bit ids for shared objects. Ids are multiples of
// four below 2^31, so they survive storage in 32-bit fields and sign
// extension. Freed ids are reused oldest first, which keeps a stale id from
// naming a new object for as long as possible. Thread-safe.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace twl {

template <class T>
class IdTable {
 public:
  IdTable() = default;
  IdTable(const IdTable&) = delete;
  IdTable& operator=(const IdTable&) = delete;

  // Returns 0 when the id space is exhausted.
  uint32_t Insert(std::shared_ptr<T> object) {
    std::lock_guard lock(mutex_);
    uint32_t id = 0;
    if (!freeIds_.empty() && (next_ > kLastId || freeIds_.size() > kReuseAfter)) {
      id = freeIds_.front();
      freeIds_.pop_front();
    } else if (next_ <= kLastId) {
      id = next_;
      next_ += 4;
    } else {
      return 0;
    }
    objects_.emplace(id, std::move(object));
    return id;
  }

  std::shared_ptr<T> Find(uint32_t id) const {
    std::lock_guard lock(mutex_);
    auto found = objects_.find(id);
    return found == objects_.end() ? nullptr : found->second;
  }

  // Removes the id and hands back the object it named (null if none).
  std::shared_ptr<T> Remove(uint32_t id) {
    std::lock_guard lock(mutex_);
    auto found = objects_.find(id);
    if (found == objects_.end()) return nullptr;
    auto object = std::move(found->second);
    objects_.erase(found);
    freeIds_.push_back(id);
    return object;
  }

  template <class Visit>
  void ForEach(Visit visit) const {
    std::lock_guard lock(mutex_);
    for (const auto& [id, object] : objects_) visit(id, object);
  }

 private:
  static constexpr uint32_t kLastId = 0x7FFFFFF0u;
  static constexpr size_t kReuseAfter = 4096;

  mutable std::mutex mutex_;
  std::unordered_map<uint32_t, std::shared_ptr<T>> objects_;
  std::deque<uint32_t> freeIds_;
  uint32_t next_ = 4;
};

}  // namespace twl
