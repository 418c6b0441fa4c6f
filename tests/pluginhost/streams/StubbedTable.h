// A plug-in table with every slot filled by a stub that answers 0, for
// tests that set only the slots they call: init checks that every
// mandatory slot is there.
#pragma once

#include <cstddef>

namespace streamtest {

inline int StubSlot() { return 0; }

template <class Table>
Table StubbedTable() {
  Table table{};
  void** slots = reinterpret_cast<void**>(&table);
  for (size_t i = 0; i < sizeof(Table) / sizeof(void*); ++i) slots[i] = reinterpret_cast<void*>(&StubSlot);
  table.head = {};
  return table;
}

}  // namespace streamtest
