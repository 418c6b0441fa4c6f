// Calls a kind slot of a plug-in's table with the version's arguments: a
// version-2 slot takes the object's context first. For the host objects
// that reach back into a plug-in object's table without being plug-in
// objects themselves (enumerators, control items).
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

template <int Version, class Table>
struct TPlugInKindCall {
  const Table* table = nullptr;
  PLUGIN_CONTEXT context = 0;

  template <class Slot>
  bool Has(Slot Table::*slot) const {
    return table && table->*slot != nullptr;
  }
  template <class Slot, class... Args>
  auto operator()(Slot Table::*slot, Args... args) const {
    if constexpr (Version == 2)
      return (table->*slot)(context, args...);
    else
      return (table->*slot)(args...);
  }
};
