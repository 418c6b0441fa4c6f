// HandedOutObjects: the host objects of one kind that plug-ins hold by
// handle (sound buffers, streams, spectrum analysers, file creators, and
// every further kind a slot hands out). A handle is the object's address,
// but a slot never follows it as one: Find turns it back into the object
// only while it is handed out, so a stale or made-up handle is refused, and
// pins the object for as long as the slot keeps the Pin it returns.
//
// Ending a handle (Retire, Withdraw) never waits. It refuses the handle from
// then on; the object is disposed of at once when no slot holds it, else
// the slots holding it are woken and the last of them disposes of it as it
// lets go. A slot blocked in the object (a wait for sound buffer space, a
// stream read) therefore neither sees the object freed under it nor keeps
// the ending thread waiting, and a slot that ends its own handle cannot
// deadlock.
//
// Threading: any thread, any number at once. The registry's lock guards the
// table only; it is never held while a slot, Dispose or Wake runs, so those
// may take their own locks and call back into the registry. Dispose runs on
// whichever thread lets go last, so it must work on any thread and must not
// wait for a slot of its own kind. Wake runs on the ending thread while
// slots still use the object: it may only ask them to stop waiting (set a
// flag, signal an event), as the object's own cross-thread call.
#pragma once

#include <cassert>
#include <cstddef>
#include <mutex>
#include <unordered_map>
#include <utility>

template <class Object, class Handle>
class HandedOutObjects {
 public:
  using Dispose = void (*)(Object* object) noexcept;
  using Wake = void (*)(Object& object) noexcept;

  // Keeps an object from being disposed of while a slot uses it; empty
  // when the handle was refused.
  class Pin {
   public:
    Pin() = default;
    Pin(Pin&& other) noexcept
        : m_Owner(std::exchange(other.m_Owner, nullptr)), m_Object(std::exchange(other.m_Object, nullptr)) {}
    Pin& operator=(Pin&& other) noexcept {
      if (this != &other) {
        Release();
        m_Owner = std::exchange(other.m_Owner, nullptr);
        m_Object = std::exchange(other.m_Object, nullptr);
      }
      return *this;
    }
    ~Pin() { Release(); }

    explicit operator bool() const { return m_Object != nullptr; }
    Object* get() const { return m_Object; }
    Object& operator*() const { return *m_Object; }
    Object* operator->() const { return m_Object; }

   private:
    friend class HandedOutObjects;
    Pin(HandedOutObjects* owner, Object* object) : m_Owner(owner), m_Object(object) {}
    void Release() {
      if (m_Object) m_Owner->Unpin(m_Object);
      m_Owner = nullptr;
      m_Object = nullptr;
    }

    HandedOutObjects* m_Owner = nullptr;
    Object* m_Object = nullptr;
  };

  // What ending a handle found.
  struct Withdrawn {
    bool handedOut = false;     // false: the handle was refused
    Object* owned = nullptr;    // no slot held it: the caller owns it now
  };

  explicit HandedOutObjects(Dispose dispose, Wake wake = nullptr) : m_Dispose(dispose), m_Wake(wake) {}
  HandedOutObjects(const HandedOutObjects&) = delete;
  HandedOutObjects& operator=(const HandedOutObjects&) = delete;

  // Hands `object` out; the registry owns it from now on.
  Handle Add(Object* object) {
    std::lock_guard guard(m_Lock);
    [[maybe_unused]] const bool added = m_Entries.try_emplace(object, Entry{}).second;
    assert(added && "an object still held cannot be handed out twice");
    return reinterpret_cast<Handle>(object);
  }

  // The object behind a handle handed out and not ended, pinned.
  Pin Find(Handle handle) {
    std::lock_guard guard(m_Lock);
    auto found = m_Entries.find(reinterpret_cast<const void*>(handle));
    if (found == m_Entries.end() || found->second.ended) return {};
    ++found->second.pins;
    return {this, static_cast<Object*>(const_cast<void*>(found->first))};
  }

  // Ends a handle and disposes of its object now or through the last slot
  // that holds it. False when the handle was refused.
  bool Retire(Handle handle) {
    const Withdrawn withdrawn = Withdraw(handle);
    if (withdrawn.owned) m_Dispose(withdrawn.owned);
    return withdrawn.handedOut;
  }

  // Ends a handle; when no slot holds the object it is handed to the caller
  // instead of disposed of, to be ended in a way that reports how that went
  // (a stream's Close). Otherwise it is left to the last slot.
  Withdrawn Withdraw(Handle handle) {
    Object* object = nullptr;
    {
      std::lock_guard guard(m_Lock);
      auto found = m_Entries.find(reinterpret_cast<const void*>(handle));
      if (found == m_Entries.end() || found->second.ended) return {};
      object = static_cast<Object*>(const_cast<void*>(found->first));
      if (found->second.pins == 0) {
        m_Entries.erase(found);
        return {true, object};
      }
      found->second.ended = true;
      if (!m_Wake) return {true, nullptr};
      ++found->second.pins;  // ours, while Wake runs
    }
    m_Wake(*object);
    Unpin(object);
    return {true, nullptr};
  }

  // Pins on the object at this address, ended or not; for tests that must
  // know a slot has started.
  size_t CountPins(Handle handle) {
    std::lock_guard guard(m_Lock);
    auto found = m_Entries.find(reinterpret_cast<const void*>(handle));
    return found == m_Entries.end() ? 0 : found->second.pins;
  }

 private:
  struct Entry {
    size_t pins = 0;
    bool ended = false;  // refused from now on; the last pin disposes
  };

  void Unpin(Object* object) {
    {
      std::lock_guard guard(m_Lock);
      auto found = m_Entries.find(object);
      assert(found != m_Entries.end() && found->second.pins > 0);
      if (--found->second.pins > 0 || !found->second.ended) return;
      m_Entries.erase(found);
    }
    m_Dispose(object);
  }

  const Dispose m_Dispose;
  const Wake m_Wake;
  std::mutex m_Lock;  // guards m_Entries
  std::unordered_map<const void*, Entry> m_Entries;
};
