// The CD file tree in process: sorted insertion and the sort orders, paths
// inside the CD, renaming refused for a sibling's name, lookups in folders
// that hold folders and files, scanning, refreshing, listing, checks of the
// sources and the generated AUTORUN.INF.
#include <gtest/gtest.h>

#include <string>

#include "kilnar/app/AutorunFileNode.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/KilnarTestTool.h"

namespace {

// A file or folder node whose source need not exist.
std::unique_ptr<Node> Made(const std::string& name, bool isFolder = false, uint32_t size = 0) {
  return std::make_unique<FileNode>("/src/" + name, isFolder, size);
}

FileNode* Add(FileNode& folder, const std::string& name, bool isFolder = false, uint32_t size = 0) {
  std::unique_ptr<Node> node = Made(name, isFolder, size);
  Node* raw = node.get();
  return folder.AddChild(node) ? static_cast<FileNode*>(raw) : nullptr;
}

std::string IsoNames(const FileNode& folder) {
  std::string names;
  for (size_t i = 0; i < folder.GetCount(); ++i) {
    if (!names.empty()) names += ' ';
    names += static_cast<const FileNode*>(folder.GetChild(i))->GetIsoName();
  }
  return names;
}

// A track of a name mode with an empty root folder.
FileNode* RootOf(IsoTrack& track, int mode) {
  track.SetNameMode(mode);
  auto root = std::make_unique<FileNode>();
  FileNode* raw = root.get();
  std::unique_ptr<Node> node = std::move(root);
  track.AddChild(node);
  return raw;
}

TEST(FileTreeTest, OrderOneRefusesANameEqualButForCase) {
  FileNode folder;
  ASSERT_NE(Add(folder, "a.mp3"), nullptr);
  std::unique_ptr<Node> second = Made("A.MP3");
  EXPECT_FALSE(folder.AddChild(second));
  EXPECT_NE(second, nullptr) << "a refused node stays with the caller";
  EXPECT_EQ(folder.GetCount(), 1u);
}

TEST(FileTreeTest, OrderSixteenIsTheImagesByteOrder) {
  FileNode folder;
  folder.SetSortOrder(kSortByBytes);
  Add(folder, "b");
  Add(folder, "A");
  Add(folder, "B");
  EXPECT_EQ(IsoNames(folder), "A B b");

  FileNode mixed;
  mixed.SetSortOrder(kSortByBytes);
  Add(mixed, "B", true);
  Add(mixed, "A");
  EXPECT_EQ(IsoNames(mixed), "A B") << "a file A before a folder B";
  mixed.SetSortOrder(kSortByName);
  EXPECT_EQ(IsoNames(mixed), "B A") << "order 1 puts folders first";
}

TEST(FileTreeTest, PathsInsideTheCd) {
  for (int mode : {1, 5}) {
    IsoTrack track;
    FileNode* root = RootOf(track, mode);
    FileNode* x = Add(*root, "X");
    FileNode* d = Add(*root, "D", true);
    FileNode* y = Add(*d, "Y");
    EXPECT_EQ(root->GetPath(), "") << mode;
    EXPECT_EQ(x->GetPath(), "X") << mode;
    EXPECT_EQ(y->GetPath(), "D\\Y") << mode;
  }
  FileNode alone;
  EXPECT_EQ(alone.GetPath(), "") << "a node without a parent folder";
}

TEST(FileTreeTest, EmptyFolderNodeStaysEmptyAfterAScan) {
  FileNode folder;
  uint16_t counter = 0;
  EXPECT_TRUE(folder.ScanFromDisk(counter, true, nullptr));
  EXPECT_EQ(folder.GetCount(), 0u);
  EXPECT_EQ(counter, 0u);
  EXPECT_TRUE(folder.IsFolder());
  EXPECT_FALSE(folder.HasSubfolders());
}

TEST(FileTreeTest, RenamingToASiblingsNameIsRefusedWithItsText) {
  IsoTrack track;
  FileNode* root = RootOf(track, 1);
  FileNode* first = Add(*root, "ONE.MP3");
  Add(*root, "TWO.MP3");
  const uint32_t dateBefore = track.GetDate().GetValue();
  testing::internal::CaptureStdout();
  first->SetName("two.mp3");
  const std::string printed = testing::internal::GetCapturedStdout();
  const std::string text = TreeMessage("ERROR", "ERR_FILENODE_NAME_EXIST", {"two.mp3"});
  ASSERT_FALSE(text.empty()) << "MSG/TREE.MSG beside the test program";
  EXPECT_NE(text.find("two.mp3"), std::string::npos) << text;
  EXPECT_EQ(printed, text + "\n");
  EXPECT_EQ(IsoNames(*root), "ONE.MP3 TWO.MP3") << "nothing changes";
  EXPECT_EQ(track.GetDate().GetValue(), dateBefore);

  first->SetName("ZERO.MP3");
  EXPECT_EQ(IsoNames(*root), "TWO.MP3 ZERO.MP3") << "a renamed node moves to its place";
  EXPECT_EQ(root->FindChildByIsoName("zero.mp3"), 1);
}

TEST(FileTreeTest, AddingAJolietNameTwiceUnderModeFiveIsRefused) {
  IsoTrack track;
  FileNode* root = RootOf(track, 5);
  std::unique_ptr<Node> first = Made("Song.mp3");
  EXPECT_TRUE(root->AddChildChecked(first, true));
  std::unique_ptr<Node> second = Made("SONG.MP3");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(root->AddChildChecked(second, true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), TreeMessage("ERROR", "ERR_FILENODE_NAME_EXIST", {"SONG.MP3"}) + "\n");
  EXPECT_EQ(IsoNames(*root), "SONG.MP3") << "remapped by the track's mode";
  EXPECT_TRUE(track.IsModified());
}

TEST(FileTreeTest, FilesAreFoundAmongFoldersAndFiles) {
  FileNode folder;
  for (int i = 0; i < 50; ++i) {
    Add(folder, "F" + std::to_string(i), true);
    Add(folder, "f" + std::to_string(i) + ".mp3");
  }
  ASSERT_EQ(folder.GetCount(), 100u);
  for (int i = 0; i < 50; ++i) {
    const long file = folder.FindChildByIsoName("F" + std::to_string(i) + ".MP3");
    ASSERT_GE(file, 0) << i;
    EXPECT_FALSE(static_cast<FileNode*>(folder.GetChild(static_cast<size_t>(file)))->IsFolder());
    const long sub = folder.FindChildByIsoName("f" + std::to_string(i));
    ASSERT_GE(sub, 0) << i;
    EXPECT_TRUE(static_cast<FileNode*>(folder.GetChild(static_cast<size_t>(sub)))->IsFolder());
  }
  EXPECT_EQ(folder.FindChildByIsoName("F50.MP3"), -1);
  EXPECT_EQ(folder.FindChildByJolietName(u"F7.MP3"), folder.FindChildByIsoName("f7.mp3"));
}

TEST(FileTreeTest, RemovingAChildHandsItBackAndMarksTheTrackChanged) {
  IsoTrack track;
  FileNode* root = RootOf(track, 5);
  FileNode* child = Add(*root, "A.MP3");
  EXPECT_FALSE(track.IsModified()) << "the mode stayed, nothing was remapped";
  std::unique_ptr<Node> back = root->RemoveChild(child);
  EXPECT_EQ(back.get(), child);
  EXPECT_EQ(back->GetParent(), nullptr);
  EXPECT_EQ(root->GetCount(), 0u);
  EXPECT_TRUE(track.IsModified());
  EXPECT_EQ(root->RemoveChild(child), nullptr) << "no longer a child";
}

TEST(FileTreeTest, ScanRefreshAndListing) {
  const std::string folder = twltest::MakeTempDir("scan");
  twltest::WriteFile(folder + "/song.mp3", "12345");
  twltest::WriteFile(folder + "/.hidden", "1");
  ASSERT_EQ(mkdir((folder + "/Sub").c_str(), 0755), 0);
  twltest::WriteFile(folder + "/Sub/in.txt", "12");
  IsoTrack track;
  track.SetNameMode(1);
  auto made = std::make_unique<FileNode>(folder);
  FileNode* root = made.get();
  std::unique_ptr<Node> node = std::move(made);
  ASSERT_TRUE(track.AddChild(node));
  uint16_t folders = 0;
  int lastProgress = -1;
  EXPECT_TRUE(root->ScanFromDisk(folders, true, [&](int value) { lastProgress = value; }));
  EXPECT_EQ(folders, 1u);
  EXPECT_GE(lastProgress, 0);
  EXPECT_EQ(IsoNames(*root), "Sub .hidden song.mp3");
  auto* hidden = static_cast<FileNode*>(root->GetChild(1));
  EXPECT_TRUE(hidden->IsHidden());
  auto* song = static_cast<FileNode*>(root->GetChild(2));
  EXPECT_EQ(song->GetSize(), 5u);
  EXPECT_TRUE(song->CanOpen());

  std::FILE* listing = std::tmpfile();
  song->Print(listing);
  root->GetChild(0)->Print(listing);
  std::rewind(listing);
  char text[256] = {};
  const size_t read = std::fread(text, 1, sizeof text - 1, listing);
  std::fclose(listing);
  const std::string expected = std::string("song.mp3\t         5\t") + song->GetTime().ToText() + "\t \n" + "Sub\t     <DIR>\t" +
                               static_cast<FileNode*>(root->GetChild(0))->GetTime().ToText() + "\t \n";
  EXPECT_EQ(std::string(text, read), expected);

  twltest::WriteFile(folder + "/song.mp3", "1234567");
  EXPECT_TRUE(root->Refresh());
  EXPECT_EQ(song->GetSize(), 7u);
  ASSERT_EQ(unlink((folder + "/song.mp3").c_str()), 0);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(root->Refresh());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            TreeMessage("ERROR", "ERR_FILENODE_WRONG_REFERENCE", {folder + "/song.mp3"}) + "\n");
  EXPECT_EQ(song->GetSize(), 0u);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(song->CanOpen());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            TreeMessage("ERROR", "ERR_FILENODE_CANNOT_OPEN", {folder + "/song.mp3"}) + "\n");
  bool cancel = false;
  EXPECT_TRUE(root->CheckReadable(cancel)) << "a folder checks its first child, Sub\\in.txt";
  try {
    song->CheckReadable(cancel);
    ADD_FAILURE() << "a missing source is not readable";
  } catch (const SourceNotReadable& error) {
    EXPECT_EQ(std::string(error.what()), folder + "/song.mp3");
  }
  cancel = true;
  EXPECT_FALSE(song->CheckReadable(cancel)) << "a cancelled check ends at once";
}

TEST(FileTreeTest, MissingSourceBecomesAnEmptyFolderWithItsText) {
  const std::string missing = twltest::SandboxDir() + "/gone.mp3";
  testing::internal::CaptureStdout();
  FileNode node(missing);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            TreeMessage("ERROR", "ERR_FILENODE_WRONG_REFERENCE", {missing}) + "\n");
  EXPECT_TRUE(node.IsFolder());
  EXPECT_EQ(node.GetSize(), 0u);
}

TEST(FileTreeTest, ClonesCopyNamesFieldsAndChildren) {
  FileNode folder("/src/Album", true, 0);
  Add(folder, "one.mp3", false, 11);
  folder.SetExtent(99);
  std::unique_ptr<Node> copy = folder.Clone();
  auto* clone = static_cast<FileNode*>(copy.get());
  EXPECT_EQ(clone->GetSourcePath(), "/src/Album");
  EXPECT_EQ(clone->GetExtent(), 99u);
  ASSERT_EQ(clone->GetCount(), 1u);
  EXPECT_EQ(clone->GetChild(0)->GetParent(), clone);
  EXPECT_EQ(static_cast<FileNode*>(clone->GetChild(0))->GetSize(), 11u);
}

TEST(FileTreeTest, AutorunFileIsWrittenWithTheTracksTextsAndDeleted) {
  IsoTrack track;
  FileNode* root = RootOf(track, 5);
  auto made = std::make_unique<AutorunFileNode>();
  AutorunFileNode* autorun = made.get();
  const std::string path = autorun->GetFilePath();
  EXPECT_EQ(path, std::string(getenv("TMPDIR")) + "/AUTORUN.INF");
  EXPECT_EQ(twltest::ReadFile(path), "[AUTORUN]\r\n");
  EXPECT_EQ(autorun->GetIsoName(), "AUTORUN.INF");
  std::unique_ptr<Node> node = std::move(made);
  ASSERT_TRUE(root->AddChild(node));
  track.SetAutorunTexts("START.EXE", "MAIN.ICO");
  EXPECT_EQ(autorun->RegenerateFile(), 42u);
  EXPECT_EQ(twltest::ReadFile(path), "[AUTORUN]\r\nopen=START.EXE\r\nicon=MAIN.ICO\r\n");
  EXPECT_EQ(autorun->GetSize(), 42u);
  root->DeleteChildren();
  EXPECT_EQ(kilnartest::FileSize(path), -1) << "the node deletes its file";
}

}  // namespace
