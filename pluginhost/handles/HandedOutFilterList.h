// The description collector the host hands a file filter for one
// FILEFILTER_BuildFilter call: HOST_AddFileFilterPattern accepts only a
// collector handed out now, so a stale or made-up one is refused instead of
// followed.
//
// Threading: any thread.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/handles/HandedOutObjects.h"

class CFileFilterDescEnum;

using HandedOutFilterLists = HandedOutObjects<CFileFilterDescEnum, HOST_FILEFILTERLIST>;

// Hands the collector out for the lifetime of this object; the collector
// stays its owner's.
class CHandedOutFilterList {
 public:
  explicit CHandedOutFilterList(CFileFilterDescEnum& collector);
  ~CHandedOutFilterList();
  CHandedOutFilterList(const CHandedOutFilterList&) = delete;
  CHandedOutFilterList& operator=(const CHandedOutFilterList&) = delete;

  HOST_FILEFILTERLIST GetHandle() const { return m_Handle; }

 private:
  HOST_FILEFILTERLIST m_Handle;
};

// The collector behind a handle handed out now, pinned; empty when refused.
HandedOutFilterLists::Pin FindHandedOutFilterList(HOST_FILEFILTERLIST handle);
