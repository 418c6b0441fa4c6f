// CClassRecord: the run-time description of one registered class. Every
// registered class owns one static record; the class manager completes it
// with an id and the list of its ancestors' ids, after which the type test
// is a few integer comparisons. Records are read-only once completed, so
// the type test needs no lock on any thread.
#pragma once

#include <cstddef>

#include <windows.h>

class CTypedObject;

struct CClassRecord {
  // Own id first, then the base's id and so on down to the root's; ids grow
  // in completion order, so the list is strictly descending. Null while the
  // class waits for its base.
  DWORD* ancestors;
  DWORD depth;  // entries in the list, 0 while not completed
  const char* className;
  // A new heap object made by the default constructor, or null when memory
  // is short; null for classes that cannot be made that way.
  CTypedObject* (*create)();
  // Runs the default constructor on the given memory; does nothing given
  // null. Null exactly where `create` is.
  void (*constructInPlace)(void* memory);
  size_t objectSize;

  bool IsCompleted() const { return depth != 0; }
  DWORD GetClassId() const { return ancestors ? ancestors[0] : 0; }

  // True when this record's class is `other`'s class or derives from it.
  // A class that is not completed is related to nothing, itself included.
  bool IsDerivedFrom(const CClassRecord* other) const {
    if (!other || !IsCompleted() || !other->IsCompleted()) return false;
    const DWORD sought = other->ancestors[0];
    for (DWORD i = 0; i < depth; ++i) {
      if (ancestors[i] == sought) return true;
      if (ancestors[i] < sought) return false;  // descending: it cannot follow
    }
    return false;
  }
};
