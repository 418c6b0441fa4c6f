#include "pluginhost/handles/HandedOutFilterList.h"

namespace {

HandedOutFilterLists& FilterLists() {
  // The collectors belong to the filter system; ending a handle only
  // refuses it.
  static auto* lists = new HandedOutFilterLists([](CFileFilterDescEnum*) noexcept {});
  return *lists;
}

}  // namespace

CHandedOutFilterList::CHandedOutFilterList(CFileFilterDescEnum& collector)
    : m_Handle(FilterLists().Add(&collector)) {}

CHandedOutFilterList::~CHandedOutFilterList() { FilterLists().Retire(m_Handle); }

HandedOutFilterLists::Pin FindHandedOutFilterList(HOST_FILEFILTERLIST handle) { return FilterLists().Find(handle); }
