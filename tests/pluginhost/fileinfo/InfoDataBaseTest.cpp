#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/ClassManager.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

namespace {

// Records every notification it hears.
struct RecordingListener : FileObjectListener {
  std::vector<std::pair<FileObjectInfoRecord*, DWORD>> heard;
  void OnFileObjectChanged(FileObjectInfoRecord* record, DWORD changes) override { heard.push_back({record, changes}); }
};

TEST(InfoDataBase, KeysCompareByteByByte) {
  CFileInfoDataBase files;
  FileInfoRecord* upper = files.Get("file:///a/B.mp3");
  FileInfoRecord* lower = files.Get("file:///a/b.mp3");
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  EXPECT_NE(upper, lower) << "letter case makes another record";
  EXPECT_EQ(files.Get("file:///a/B.mp3"), upper) << "the same URL gives the same record";
  EXPECT_NE(files.Get("file:///a\\B.mp3"), upper) << "the direction of a slash makes another record";
  EXPECT_STREQ(upper->key, "file:///a/B.mp3");
  EXPECT_STREQ(lower->key, "file:///a/b.mp3");
}

TEST(InfoDataBase, FindNeverCreates) {
  CFolderInfoDataBase folders;
  EXPECT_EQ(folders.Find("file:///music"), nullptr);
  EXPECT_EQ(folders.Find("file:///music"), nullptr);
  FolderInfoRecord* made = folders.Get("file:///music");
  EXPECT_EQ(folders.Find("file:///music"), made);
  EXPECT_EQ(folders.Get(nullptr), nullptr);
  EXPECT_EQ(folders.Find(nullptr), nullptr);
}

TEST(InfoDataBase, NewRecordsStartAsDescribed) {
  CFileInfoDataBase files;
  const FileInfoRecord* file = files.Get("file:///a/b.mp3");
  EXPECT_FALSE(file->displayText.has_value());
  EXPECT_EQ(file->flags, 0u);
  EXPECT_EQ(file->iconIndex, 0);
  EXPECT_FALSE(file->typeText.has_value());
  EXPECT_EQ(file->typeIcon, -1);
  EXPECT_EQ(file->thirdValue, -1);
  EXPECT_EQ(file->typeTextPriority + file->typeIconPriority + file->thirdValuePriority, 0);
  EXPECT_FALSE(file->IsIdentified());

  CFolderInfoDataBase folders;
  const FolderInfoRecord* folder = folders.Get("file:///a");
  EXPECT_EQ(folder->openIconIndex, 0);
  EXPECT_EQ(folder->cacheFlags, 0);
  EXPECT_TRUE(folder->cachedFiles.empty());
  EXPECT_TRUE(folder->cachedFolders.empty());
}

TEST(InfoDataBase, NamePart) {
  const struct {
    const char* behaviour;
    const char* url;
    const char* name;
  } cases[] = {
      {"after the last slash", "file:///home/u/a.mp3", "a.mp3"},
      {"a backslash after the last slash wins", "file:///home/u\\b.mp3", "b.mp3"},
      {"a slash after the last backslash wins", "file://C:\\x/c.mp3", "c.mp3"},
      {"a URL ending in a slash is named whole", "file:///home/u/", "file:///home/u/"},
      {"a URL ending in a backslash is named whole", "file://C:\\Music\\", "file://C:\\Music\\"},
      {"no separator: the whole URL", "virtual:desktop", "virtual:desktop"},
      {"the empty URL", "", ""},
  };
  CFileInfoDataBase files;
  for (const auto& c : cases) {
    const FileInfoRecord* record = files.Get(c.url);
    EXPECT_STREQ(record->name, c.name) << c.behaviour;
    EXPECT_GE(record->name, record->key) << "the name points into the key: " << c.behaviour;
    EXPECT_LE(record->name, record->key + std::strlen(record->key)) << c.behaviour;
  }
}

// One offer of type information after a first one, and what the record
// holds and its listener hears afterwards.
struct UpdateCase {
  const char* behaviour;
  int firstPriority;  // the text, icon and third value first stored together
  const char* text;
  int textPriority;
  int icon;
  int iconPriority;
  int third;
  int thirdPriority;
  // expected
  const char* storedText;
  int storedTextPriority;
  int storedIcon;
  int storedThird;
  std::vector<DWORD> heard;
};

TEST(InfoDataBase, UpdateFileInfoKeepsWhatAHigherPriorityStored) {
  const UpdateCase cases[] = {
      {"a text of priority 64 over one of 100 is ignored", 100, "New", 64, 0, 0, 0, 0, "Old", 100, 7, 70, {}},
      {"a text of priority 100 over one of 100 replaces it", 100, "New", 100, 0, 0, 0, 0, "New", 100, 7, 70, {0x8}},
      {"a higher priority replaces", 100, "New", 101, 0, 0, 0, 0, "New", 101, 7, 70, {0x8}},
      {"the same text at an equal priority is no change", 100, "Old", 100, 0, 0, 0, 0, "Old", 100, 7, 70, {}},
      {"priority 0 never stores, even over nothing", 0, "New", 0, 3, 0, 30, 0, nullptr, 0, -1, -1, {}},
      {"a priority above 255 counts as 255", 255, "New", 300, 0, 0, 0, 0, "New", 255, 7, 70, {0x8}},
      {"a negative priority counts as 0", 0, "New", -5, 0, 0, 0, 0, nullptr, 0, -1, -1, {}},
      {"each applying part tells on its own", 100, "New", 100, 8, 0, 80, 100, "New", 100, 7, 80, {0x8, 0x80}},
      {"all three parts applying tell once", 100, "New", 100, 8, 100, 80, 100, "New", 100, 8, 80, {0x98}},
      {"a negative icon becomes 0", 100, "Old", 100, -9, 100, 70, 100, "Old", 100, 0, 70, {0x10}},
      {"a null text with a priority clears the text", 100, nullptr, 100, 0, 0, 0, 0, nullptr, 100, 7, 70, {0x8}},
  };
  for (const UpdateCase& c : cases) {
    CFileInfoDataBase files;
    const char* url = "file:///m/a.mp3";
    ASSERT_TRUE(files.UpdateFileInfo(url, "Old", c.firstPriority, 7, c.firstPriority, 70, c.firstPriority));
    FileInfoRecord* record = files.Get(url);
    RecordingListener listener;
    AddFileObjectListener(record, &listener);

    ASSERT_TRUE(files.UpdateFileInfo(url, c.text, c.textPriority, c.icon, c.iconPriority, c.third, c.thirdPriority))
        << c.behaviour;
    if (c.storedText)
      EXPECT_EQ(record->typeText, std::string(c.storedText)) << c.behaviour;
    else
      EXPECT_FALSE(record->typeText.has_value()) << c.behaviour;
    EXPECT_EQ(record->typeTextPriority, c.storedTextPriority) << c.behaviour;
    EXPECT_EQ(record->typeIcon, c.storedIcon) << c.behaviour;
    EXPECT_EQ(record->thirdValue, c.storedThird) << c.behaviour;
    std::vector<DWORD> heard;
    for (const auto& [who, changes] : listener.heard) {
      EXPECT_EQ(who, record) << c.behaviour;
      heard.push_back(changes);
    }
    EXPECT_EQ(heard, c.heard) << c.behaviour;
  }
}

TEST(InfoDataBase, UpdateFileInfoMakesTheRecordAndRefusesANullUrl) {
  CFileInfoDataBase files;
  ASSERT_TRUE(files.UpdateFileInfo("file:///new.mp3", "Song", 64, 2, 64, 1000, 64));
  const FileInfoRecord* record = files.Find("file:///new.mp3");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->typeText, std::string("Song"));
  EXPECT_TRUE(record->IsIdentified());

  SetThreadError(THREAD_ERROR_NONE, 0, nullptr);
  EXPECT_FALSE(files.UpdateFileInfo(nullptr, "Song", 64, 2, 64, 1000, 64));
  EXPECT_EQ(GetThreadErrorState()->type, THREAD_ERROR_MISC);
  EXPECT_EQ(GetThreadErrorState()->code, MISC_ERROR_INVALID_PARAM);
}

TEST(InfoDataBase, SetTypeInfoClearsPartsWithoutPriority) {
  CFileInfoDataBase files;
  FileInfoRecord* record = files.Get("file:///a.mp3");
  record->SetTypeInfo("Song", 10, 4, 10, 500, 10);
  RecordingListener listener;
  AddFileObjectListener(record, &listener);
  record->SetTypeInfo("Other", 0, 5, 0, 600, 0);
  EXPECT_FALSE(record->typeText.has_value());
  EXPECT_EQ(record->typeIcon, -1);
  EXPECT_EQ(record->thirdValue, -1);
  EXPECT_FALSE(record->IsIdentified());
  ASSERT_EQ(listener.heard.size(), 1u);
  EXPECT_EQ(listener.heard[0].second, 0x98u);
  record->SetTypeInfo(nullptr, 0, 5, 0, 600, 0);
  EXPECT_EQ(listener.heard.size(), 1u) << "nothing changed, nobody is told";
}

TEST(InfoDataBase, ListenersAreCountedAndToldNewestFirst) {
  CFileInfoDataBase files;
  FileInfoRecord* record = files.Get("file:///a.mp3");
  std::vector<int> order;
  struct Ordered : FileObjectListener {
    std::vector<int>* order;
    int id;
    void OnFileObjectChanged(FileObjectInfoRecord*, DWORD) override { order->push_back(id); }
  } first, second;
  first.order = second.order = &order;
  first.id = 1;
  second.id = 2;

  AddFileObjectListener(record, &first);
  AddFileObjectListener(record, &first);
  AddFileObjectListener(record, &second);
  NotifyFileObjectListeners(record, 0x2);
  EXPECT_EQ(order, (std::vector<int>{2, 1})) << "the newest listener is at the front";

  EXPECT_TRUE(RemoveFileObjectListener(record, &first));
  order.clear();
  NotifyFileObjectListeners(record, 0x2);
  EXPECT_EQ(order, (std::vector<int>{2, 1})) << "a listener added twice survives one removal";

  EXPECT_TRUE(RemoveFileObjectListener(record, &first));
  order.clear();
  NotifyFileObjectListeners(record, 0x2);
  EXPECT_EQ(order, (std::vector<int>{2}));
  EXPECT_FALSE(RemoveFileObjectListener(record, &first)) << "no longer in the list";
}

// A window that stops showing records while it is told of a change.
struct LeavingListener : FileObjectListener {
  FileObjectListener* removes = nullptr;
  int heard = 0;
  void OnFileObjectChanged(FileObjectInfoRecord* record, DWORD) override {
    ++heard;
    RemoveFileObjectListener(record, this);
    if (removes) RemoveFileObjectListener(record, removes);
  }
};

TEST(InfoDataBase, ListenersMayLeaveWhileTheyAreTold) {
  CFileInfoDataBase files;
  FileInfoRecord* record = files.Get("file:///a.mp3");
  LeavingListener later, leaving;
  leaving.removes = &later;  // `later` is told after `leaving`
  AddFileObjectListener(record, &later);
  AddFileObjectListener(record, &leaving);
  NotifyFileObjectListeners(record, 0x1);
  EXPECT_EQ(leaving.heard, 1);
  EXPECT_EQ(later.heard, 0) << "removed before its turn";
  EXPECT_TRUE(record->listeners.empty());
}

TEST(InfoDataBase, SetFileObjectStringReportsChanges) {
  const struct {
    const char* behaviour;
    const char* before;  // null: absent
    const char* text;
    bool changed;
  } cases[] = {
      {"absent to text", nullptr, "a", true},
      {"equal text", "a", "a", false},
      {"case differs", "a", "A", true},
      {"null frees", "a", nullptr, true},
      {"null over absent", nullptr, nullptr, false},
      {"empty differs from absent", nullptr, "", true},
  };
  for (const auto& c : cases) {
    FileObjectText field;
    if (c.before) field = c.before;
    EXPECT_EQ(SetFileObjectString(field, c.text), c.changed) << c.behaviour;
    EXPECT_EQ(field.has_value(), c.text != nullptr) << c.behaviour;
    if (c.text) {
      EXPECT_EQ(*field, c.text) << c.behaviour;
    }
  }
}

TEST(InfoDataBase, FreeAllForgetsEveryRecord) {
  CFolderInfoDataBase folders;
  for (int i = 0; i < 100; ++i) folders.Get(("file:///f" + std::to_string(i)).c_str())->iconIndex = i;
  folders.FreeAll();
  EXPECT_EQ(folders.Find("file:///f7"), nullptr);
  FolderInfoRecord* again = folders.Get("file:///f7");
  EXPECT_EQ(again->iconIndex, 0) << "a fresh record after FreeAll";
}

TEST(InfoDataBase, ClassesAreRegistered) {
  const CClassRecord* base = GetClassManager().FindClass("CFileObjectInfoDataBase");
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->create, nullptr) << "abstract";
  EXPECT_TRUE(base->IsDerivedFrom(&CTypedObject::ClassRecord));
  for (const char* name : {"CFileInfoDataBase", "CFolderInfoDataBase"}) {
    const CClassRecord* record = GetClassManager().FindClass(name);
    ASSERT_NE(record, nullptr) << name;
    EXPECT_TRUE(record->IsDerivedFrom(base)) << name;
    ASSERT_NE(record->create, nullptr) << name;
    std::unique_ptr<CTypedObject> made(record->create());
    auto* database = static_cast<CFileObjectInfoDataBase*>(made.get());
    EXPECT_NE(database->Get("file:///x"), nullptr) << name;
  }
  // The class records are reached through the objects above; keep the
  // classes linked in.
  EXPECT_TRUE(CFileInfoDataBase().IsKindOf(&CFileObjectInfoDataBase::ClassRecord));
}

// Identifier workers and player threads offer type information while the
// user-interface thread fetches records and reads them under the lock.
TEST(InfoDataBase, UpdatesFromManyThreadsKeepTheHighestPriority) {
  CFileInfoDataBase files;
  constexpr int kThreads = 4;
  constexpr int kFiles = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&files, t] {
      for (int round = 0; round < 20; ++round)
        for (int f = 0; f < kFiles; ++f) {
          const std::string url = "file:///m/" + std::to_string(f) + ".mp3";
          const int priority = 1 + (t * 20 + round) % 80;
          files.UpdateFileInfo(url.c_str(), std::to_string(priority).c_str(), priority, priority, priority, priority,
                               priority);
        }
    });
  }
  for (int round = 0; round < 20; ++round)
    for (int f = 0; f < kFiles; ++f) {
      const std::string url = "file:///m/" + std::to_string(f) + ".mp3";
      CriticalSectionLock lock(files.GetLock());
      const FileInfoRecord* record = files.Get(url.c_str());
      if (record->typeText) {
        EXPECT_EQ(*record->typeText, std::to_string(record->typeTextPriority));
      }
    }
  for (std::thread& thread : threads) thread.join();
  const int highest = 1 + (3 * 20 + 19) % 80;
  for (int f = 0; f < kFiles; ++f) {
    const FileInfoRecord* record = files.Find(("file:///m/" + std::to_string(f) + ".mp3").c_str());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->typeTextPriority, highest);
    EXPECT_EQ(record->typeText, std::to_string(highest));
    EXPECT_EQ(record->thirdValue, highest);
  }
}

}  // namespace
