#include "pluginhost/players/HandedOutLists.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex g_Lock;
std::vector<CFileExtensionEnum*> g_Lists;  // a list may be handed out more than once at a time

}  // namespace

CHandedOutExtensionList::CHandedOutExtensionList(CFileExtensionEnum& list) : m_List(list) {
  std::lock_guard guard(g_Lock);
  g_Lists.push_back(&list);
}

CHandedOutExtensionList::~CHandedOutExtensionList() {
  std::lock_guard guard(g_Lock);
  g_Lists.erase(std::find(g_Lists.begin(), g_Lists.end(), &m_List));
}

CFileExtensionEnum* FindHandedOutExtensionList(HOST_FILEEXTENSIONLIST handle) {
  auto* list = reinterpret_cast<CFileExtensionEnum*>(handle);
  std::lock_guard guard(g_Lock);
  return std::find(g_Lists.begin(), g_Lists.end(), list) != g_Lists.end() ? list : nullptr;
}
