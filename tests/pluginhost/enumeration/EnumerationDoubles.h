// Test doubles of the enumeration's parts: a provider that recognises
// "fake://" URLs and hands the test its context, whose enumerator runs a
// scripted OnResults; control items that are equal within a group; and a
// listing over such providers with databases of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/Error.h"
#include "pluginhost/enumeration/FileObjectEnumeration.h"
#include "pluginhost/enumeration/FileObjectEnumerationManager.h"
#include "pluginhost/enumeration/FileObjectEnumerator.h"
#include "pluginhost/enumeration/FileObjectEnumeratorProvider.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "support/StubConfigurableObject.h"

namespace enumtest {

using OnResultsScript = std::function<void(CFileObjectEnumeration& results, bool allFinished)>;

class ScriptedEnumerator : public CFileObjectEnumerator {
 public:
  ScriptedEnumerator(OnResultsScript script, int& deliveries, int& aborts)
      : m_Script(std::move(script)), m_Deliveries(deliveries), m_Aborts(aborts) {}
  void OnResults(CFileObjectEnumeration* results, bool allFinished) override {
    ++m_Deliveries;
    if (m_Script) m_Script(*results, allFinished);
    // A script that handed the batch out (as a plug-in wrapper does) marks
    // it with an owner; the handle's retirement deletes it then.
    if (!results->GetOwner()) delete results;
  }
  void Abort() override {
    ++m_Aborts;
    delete this;
  }

 private:
  OnResultsScript m_Script;
  int& m_Deliveries;
  int& m_Aborts;
};

enum class Answer { kEnumerator, kNone, kThrow };

class FakeProvider : public twltest::StubConfigurableObject<CFileObjectEnumeratorProvider> {
 public:
  explicit FakeProvider(Answer answer = Answer::kEnumerator) : StubConfigurableObject("fake"), m_Answer(answer) {}

  bool RegisterProxyTypes(CProxyDataBase&) override { return true; }
  CFileObjectEnumerator* CreateEnumerator(CFileObjectEnumerationContext& context, const char*, const char*, DWORD,
                                          HWND) override {
    if (m_Answer == Answer::kThrow) ThrowError<CError>("fake", "cannot list");
    if (m_Answer == Answer::kNone) return nullptr;
    this->context = &context;
    return new ScriptedEnumerator(onResults, deliveries, aborts);
  }
  bool AddMenuItems(CFileObjectMenu&, INT, const char* const*, INT, const char* const*) override { return true; }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override { return true; }

  CFileObjectEnumerationContext* context = nullptr;
  OnResultsScript onResults;
  int deliveries = 0;
  int aborts = 0;

 private:
  Answer m_Answer;
};

// Items of one group stand for the same command.
class GroupItem : public CFileBrowserControlItem {
 public:
  GroupItem(std::string name, int group, DWORD flags = 0) : m_Name(std::move(name)), m_Group(group), m_Flags(flags) {}
  const char* GetName() override { return m_Name.c_str(); }
  DWORD GetFlags() override { return m_Flags; }
  int GetImageIndex() override { return -1; }
  void Execute(DWORD, DWORD, HWND) override {}
  bool IsEqual(CFileBrowserControlItem* other) override {
    auto* item = dynamic_cast<GroupItem*>(other);
    return item && item->m_Group == m_Group;
  }

 private:
  std::string m_Name;
  int m_Group;
  DWORD m_Flags;
};

// A listing over `count` fake providers with databases of its own.
struct FakeListing {
  explicit FakeListing(size_t count = 1, Answer answer = Answer::kEnumerator) {
    for (size_t i = 0; i < count; ++i) providers.push_back(std::make_unique<FakeProvider>(answer));
  }
  void Start(DWORD flags = FOE_FILES | FOE_FOLDERS) {
    std::vector<CFileObjectEnumeratorProvider*> list;
    for (auto& provider : providers) list.push_back(provider.get());
    manager.Start(list, "fake://folder", nullptr, flags, files, folders, nullptr);
  }
  CFileObjectEnumerationContext& Context(size_t provider = 0) { return *providers[provider]->context; }

  // The names of a list (the name part of each URL, or an item's text).
  static std::string NameOf(const FileObjectEntry& entry) {
    if (entry.item) return entry.item->GetName();
    return GetNamePart(entry.GetUrl());
  }
  std::vector<std::string> Sorted(CFileObjectEnumerationManager::List list) const {
    std::vector<std::string> names;
    for (const FileObjectEntry* entry = manager.GetSortedHead(list); entry; entry = entry->nextSorted)
      names.push_back(NameOf(*entry));
    return names;
  }
  std::vector<std::string> Arrival(CFileObjectEnumerationManager::List list) const {
    std::vector<std::string> names;
    for (const FileObjectEntry* entry = manager.GetHead(list); entry; entry = entry->next)
      names.push_back(NameOf(*entry));
    return names;
  }

  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  std::vector<std::unique_ptr<FakeProvider>> providers;
  CFileObjectEnumerationManager manager;  // last: cleared before the rest goes
};

inline std::string FakeUrl(const std::string& name) { return "fake://folder/" + name; }

}  // namespace enumtest
