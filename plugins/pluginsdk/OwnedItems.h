// A PointerList whose items its holder owns (the main object's plug-in
// objects, a filter's patterns): how an item is taken in and how all are
// deleted.
#pragma once

#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/PointerList.h"

namespace pluginsdk {

// Takes the item in every case. A null item (its allocation failed) sets
// MiscError 2; an item that failed to construct, or that the list cannot
// take, is deleted keeping the thread error its failure set.
template <class Item>
bool AdoptItem(const HostApiTable& host, PointerList& list, Item* item, bool constructed) {
  if (!item) {
    host.HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
    return false;
  }
  if (constructed && list.Append(item)) return true;
  KeepingThreadError(host, [item] { delete item; });
  return false;
}

template <class Item>
void DeleteItems(PointerList& list) {
  for (int index = 0; index < list.GetCount(); ++index) delete static_cast<Item*>(list.GetAt(index));
  list.Clear();
}

}  // namespace pluginsdk
