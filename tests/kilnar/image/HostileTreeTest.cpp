// Trees that cannot become a sound image are refused with their text and
// leave no image file: too many folders, a source of 4 GiB, names that
// become equal when cut to their field, a source cut short while it is
// written. A source that grows while written gives its recorded size, and
// the bytes after a file's end in its last sector are zeros.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "ImageFacts.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/TreeMessages.h"

namespace {

using imagetest::Quoted;
using imagetest::RunImage;

struct HostileCase {
  const char* behaviour;
  const char* script;
  const char* mode;
  const char* section;
  const char* key;
  // The text's figure: none, a path below the folder, or a name.
  const char* figureInFolder;
  std::string figure;
};

TEST(HostileTreeTest, RefusedTreesLeaveNoImage) {
  const HostileCase cases[] = {
      {"2001 folders", "for i in range(2000): os.mkdir('%04d' % i)\n", "4", "ERROR", "ERR_ISOTRACK_CANNOT_CALC_SIZE",
       nullptr, ""},
      {"a sparse source of 4 GiB", "open('huge.bin', 'wb').truncate(4 << 30)\n", "4", "ERROR", "ERR_FILENODE_TOO_LARGE",
       "/huge.bin", ""},
      {"Joliet names equal in their first 64 characters",
       "open('n' * 64 + 'a' * 191, 'w').write('1')\nopen('n' * 64 + 'b' * 191, 'w').write('2')\n", "5", "ERROR",
       "ERR_FILENODE_NAME_EXIST", nullptr, std::string(64, 'n')},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.behaviour);
    const std::string folder = twltest::MakeTempDir("hostile");
    imagetest::MakeWithPython(folder, row.script);
    const std::string out = twltest::SandboxDir() + "/hostile.iso";
    const auto run = RunImage(std::string("--mode ") + row.mode + " " + Quoted(out) + " " + Quoted(folder));
    EXPECT_EQ(run.status >> 8, 1);
    EXPECT_EQ(run.calc, 0u);
    const std::string figure = row.figureInFolder ? folder + row.figureInFolder : row.figure;
    const std::string text = figure.empty() ? TreeMessage(row.section, row.key) : TreeMessage(row.section, row.key, {figure});
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(run.err, text + "\n");
    EXPECT_EQ(kilnartest::FileSize(out), -1) << "no image file is left";
  }
}

// A track whose root is a folder scanned from disk, in the given mode.
std::unique_ptr<IsoTrack> TrackOf(const std::string& folder, int mode) {
  auto track = std::make_unique<IsoTrack>();
  track->SetNameMode(mode);
  std::unique_ptr<Node> root = std::make_unique<FileNode>(folder);
  FileNode* rootNode = static_cast<FileNode*>(root.get());
  track->AddChild(root);
  uint16_t counter = 0;
  rootNode->ScanFromDisk(counter, false, nullptr);
  track->RemapNames(rootNode);
  return track;
}

// What the progress function does to the large source while it is
// written: cut it short, or make it longer.
std::string changedSource;
bool growInstead = false;
bool changed = false;

void ChangeSourceHalfway(uint32_t percent) {
  if (changed || percent < 50 || percent >= 100) return;
  changed = true;
  if (growInstead) {
    const int fd = open(changedSource.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "grown", 5), 5);
    close(fd);
  } else {
    ASSERT_EQ(truncate(changedSource.c_str(), 100000), 0);
  }
}

TEST(HostileTreeTest, SourceCutShortWhileWrittenFailsTheImage) {
  const std::string folder = twltest::MakeTempDir("shrink");
  changedSource = folder + "/large.bin";
  twltest::WriteFile(changedSource, kilnartest::PatternBytes(4 << 20));
  growInstead = false;
  changed = false;
  auto track = TrackOf(folder, 5);
  const std::string out = twltest::SandboxDir() + "/shrink.iso";
  const auto failure = track->CreateImageFile(out.c_str(), 0, ChangeSourceHalfway);
  ASSERT_TRUE(changed);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(*failure, TreeMessage("ERROR", "ERR_FILENODE_CANNOT_OPEN", {changedSource}));
  EXPECT_EQ(kilnartest::FileSize(out), -1);
  EXPECT_FALSE(track->IsImageCurrent());
}

TEST(HostileTreeTest, SourceThatGrewIsWrittenUpToItsRecordedSizeAndPaddedWithZeros) {
  const std::string folder = twltest::MakeTempDir("grow");
  changedSource = folder + "/large.bin";
  const std::string bytes = kilnartest::PatternBytes((4 << 20) + 1000);
  twltest::WriteFile(changedSource, bytes);
  growInstead = true;
  changed = false;
  auto track = TrackOf(folder, 4);
  const std::string out = twltest::SandboxDir() + "/grow.iso";
  const auto failure = track->CreateImageFile(out.c_str(), 0, ChangeSourceHalfway);
  ASSERT_TRUE(changed);
  ASSERT_FALSE(failure.has_value()) << *failure;
  EXPECT_TRUE(track->IsImageCurrent());
  const auto* root = track->GetRoot();
  const auto* file = static_cast<const FileNode*>(root->GetChild(0));
  const std::string image = twltest::ReadFile(out);
  const size_t start = static_cast<size_t>(file->GetExtent()) * 2048;
  ASSERT_EQ(image.size(), start + (bytes.size() + 2047) / 2048 * 2048);
  EXPECT_EQ(image.substr(start, bytes.size()), bytes);
  EXPECT_EQ(image.substr(start + bytes.size()), std::string(image.size() - start - bytes.size(), '\0'));
}

IsoTrack* trackToCancel = nullptr;

void CancelHalfway(uint32_t percent) {
  if (percent >= 50 && percent < 100) trackToCancel->RequestCancel();
}

TEST(HostileTreeTest, CancelDuringTheFileDataEndsWithTheBreakTextAndNoFile) {
  const std::string folder = twltest::MakeTempDir("cancel");
  twltest::WriteFile(folder + "/large.bin", kilnartest::PatternBytes(4 << 20));
  auto track = TrackOf(folder, 5);
  trackToCancel = track.get();
  const std::string out = twltest::SandboxDir() + "/cancel.iso";
  const auto failure = track->CreateImageFile(out.c_str(), 0, CancelHalfway);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(*failure, TreeMessage("MESSAGE", "USER_BREAK"));
  EXPECT_EQ(kilnartest::FileSize(out), -1);
}

// Names of 1,000 characters (more than a file system holds) alike in
// their first 64: under name mode 5 their Joliet names become one and the
// tree is refused; under mode 4 their ISO names are numbered apart.
TEST(HostileTreeTest, LongNamesEqualWhenCutAreNumberedOrRefused) {
  const std::string folder = twltest::MakeTempDir("long");
  twltest::WriteFile(folder + "/source.bin", "data");
  for (int mode : {5, 4}) {
    SCOPED_TRACE(mode);
    IsoTrack track;
    track.SetNameMode(mode);
    std::unique_ptr<Node> root = std::make_unique<FileNode>();
    FileNode* rootNode = static_cast<FileNode*>(root.get());
    track.AddChild(root);
    for (char last : {'a', 'b'}) {
      auto node = std::make_unique<FileNode>(folder + "/source.bin", false, 4);
      node->GetNames().SetLongName(std::string(64, 'n') + std::string(936, last));
      rootNode->InsertKeepingEqual(std::move(node));
    }
    track.RemapNames(rootNode);
    const std::string out = twltest::SandboxDir() + "/long.iso";
    const auto failure = track.CreateImageFile(out.c_str(), 0, nullptr);
    if (mode == 5) {
      EXPECT_EQ(track.CalcImageSize(), 0u);
      ASSERT_TRUE(failure.has_value());
      EXPECT_EQ(*failure, TreeMessage("ERROR", "ERR_FILENODE_NAME_EXIST", {std::string(64, 'n')}));
      EXPECT_EQ(kilnartest::FileSize(out), -1);
      continue;
    }
    ASSERT_FALSE(failure.has_value()) << *failure;
    const auto* first = static_cast<const FileNode*>(rootNode->GetChild(0));
    const auto* second = static_cast<const FileNode*>(rootNode->GetChild(1));
    EXPECT_NE(first->GetIsoName(), second->GetIsoName());
  }
}

}  // namespace
