// The stored form of a CD project: a whole project written and read back
// byte for byte, records of unknown types, and damaged records that must
// fail their load without crashing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/app/AudioFileTrack.h"
#include "kilnar/app/AutorunFileNode.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/ImageFileTrack.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/ProjectDoc.h"
#include "kilnar/recorder/CwStream.h"
#include "support/TestPaths.h"

namespace {

using kilnartest::Quoted;

std::string MakeWave(const std::string& name, int channels, int rate) {
  const std::string path = twltest::SandboxDir() + "/" + name;
  const std::string command = "sox -n -b 16 -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " +
                              Quoted(path) + " synth 0.1 sine 440 2>&1";
  std::string output;
  EXPECT_EQ(twltest::RunCommand(command, &output), 0) << output;
  return path;
}

bool SaveTo(const Node& node, const std::string& path) {
  CwStream stream(path.c_str(), false);
  const bool saved = node.Save(stream);
  stream.Close();
  return saved;
}

std::unique_ptr<Node> LoadFrom(const std::string& path) {
  CwStream stream(path.c_str(), true);
  return Node::LoadChild(stream);
}

template <class T>
std::unique_ptr<Node> Owned(std::unique_ptr<T> node) {
  return std::unique_ptr<Node>(std::move(node));
}

// A project of an ISO track with a small tree, an audio and an image track.
std::unique_ptr<ProjectDoc> MakeProject(const std::string& folder) {
  twltest::WriteFile(folder + "/one.txt", "one");
  std::filesystem::create_directories(folder + "/Sub");
  twltest::WriteFile(folder + "/Sub/Zwei.txt", "zwei zwei");
  auto project = std::make_unique<ProjectDoc>();
  project->SetName("Stored");

  auto iso = std::make_unique<IsoTrack>();
  iso->GetTexts().label = "MY LABEL";
  iso->GetTexts().publisher = "Publisher";
  iso->GetTexts().reserved = "kept";
  iso->GetReservedSettings().first = 77;
  iso->SetAutorunTexts("START.EXE", "MAIN.ICO");
  auto root = std::make_unique<FileNode>(folder);
  FileNode* rootNode = root.get();
  std::unique_ptr<Node> rootAsNode = std::move(root);
  EXPECT_TRUE(iso->AddChild(rootAsNode));
  uint16_t counter = 0;
  rootNode->ScanFromDisk(counter, false, nullptr);
  iso->RemapNames(rootNode);
  auto autorun = std::make_unique<AutorunFileNode>();
  std::unique_ptr<Node> autorunNode = std::move(autorun);
  rootNode->AddChildChecked(autorunNode, false);
  std::unique_ptr<Node> isoNode = std::move(iso);
  EXPECT_TRUE(project->AddChild(isoNode));

  auto audio = std::make_unique<AudioFileTrack>();
  audio->SetSourceFile(MakeWave("stereo.wav", 2, 44100));
  std::unique_ptr<Node> audioNode = std::move(audio);
  EXPECT_TRUE(project->AddChild(audioNode));

  auto image = std::make_unique<ImageFileTrack>();
  image->SetName(folder + "/one.txt");
  std::unique_ptr<Node> imageNode = std::move(image);
  EXPECT_TRUE(project->AddChild(imageNode));
  return project;
}

TEST(StoredProjectTest, AProjectRoundTripsByteForByte) {
  const std::string folder = twltest::MakeTempDir("tree");
  const auto project = MakeProject(folder);
  const std::string first = twltest::SandboxDir() + "/first.prj";
  const std::string second = twltest::SandboxDir() + "/second.prj";
  ASSERT_TRUE(SaveTo(*project, first));
  const std::unique_ptr<Node> loaded = LoadFrom(first);
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->GetType(), kTypeProjectDoc);
  EXPECT_EQ(loaded->GetName(), "Stored");
  ASSERT_EQ(loaded->GetCount(), 3u);

  auto* iso = dynamic_cast<IsoTrack*>(loaded->GetChild(0));
  ASSERT_TRUE(iso);
  EXPECT_EQ(iso->GetTexts().label, "MY LABEL");
  EXPECT_EQ(iso->GetTexts().reserved, "kept");
  EXPECT_EQ(iso->GetReservedSettings().first, 77);
  EXPECT_EQ(iso->GetAutorunOpen(), "START.EXE");
  EXPECT_FALSE(iso->IsModified());
  const FileNode* root = iso->GetRoot();
  ASSERT_TRUE(root);
  // The generated AUTORUN.INF is made again, not stored.
  ASSERT_EQ(root->GetCount(), 2u);
  const auto* sub = static_cast<const FileNode*>(root->GetChild(0));
  EXPECT_TRUE(sub->IsFolder());
  ASSERT_EQ(sub->GetCount(), 1u);
  const auto* two = static_cast<const FileNode*>(sub->GetChild(0));
  EXPECT_EQ(two->GetSize(), 9u);
  EXPECT_EQ(two->GetSourcePath(), folder + "/Sub/Zwei.txt");
  EXPECT_EQ(two->GetNames().GetJolietText(), "Zwei.txt");
  EXPECT_EQ(two->GetParent(), sub);

  EXPECT_EQ(loaded->GetChild(1)->GetName(), "stereo.wav");
  EXPECT_EQ(static_cast<const PrjElement*>(loaded->GetChild(1))->GetPosition(), 1);
  EXPECT_EQ(static_cast<const PrjElement*>(loaded->GetChild(2))->GetNameText(), folder + "/one.txt");

  ASSERT_TRUE(SaveTo(*loaded, second));
  EXPECT_EQ(twltest::ReadFile(second), twltest::ReadFile(first));
}

// A record's head: type, zero byte, child count.
std::string Head(uint32_t type, uint32_t children) {
  std::string bytes(9, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[static_cast<size_t>(i)] = static_cast<char>(type >> (8 * i));
    bytes[static_cast<size_t>(5 + i)] = static_cast<char>(children >> (8 * i));
  }
  return bytes;
}

TEST(StoredProjectTest, AChildOfAnUnknownTypeFailsItsParentsLoadWithTheText) {
  const std::string path = twltest::SandboxDir() + "/unknown.prj";
  twltest::WriteFile(path, Head(kTypeProjectDoc, 1) + Head(1008, 0) + std::string(40, '\0'));
  testing::internal::CaptureStdout();
  const std::unique_ptr<Node> loaded = LoadFrom(path);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(loaded);
  EXPECT_EQ(printed, "The project holds an element of unknown type 1008.\n");
}

TEST(StoredProjectTest, DamagedRecordsFailTheirLoad) {
  const std::string folder = twltest::MakeTempDir("damaged");
  const auto project = MakeProject(folder);
  const std::string good = folder + "/good.prj";
  ASSERT_TRUE(SaveTo(*project, good));
  const std::string bytes = twltest::ReadFile(good);
  std::string nested;
  for (int i = 0; i < 200; ++i) nested += Head(kTypeFileNode, 1);
  std::string longText = Head(kTypeImageFileTrack, 0) + std::string("\xFF\x7F", 2) + std::string(0x7FFF, 'n');
  const struct {
    const char* behaviour;
    std::string bytes;
  } cases[] = {
      {"cut in the middle", bytes.substr(0, bytes.size() / 2)},
      {"cut by one byte", bytes.substr(0, bytes.size() - 1)},
      {"more children than bytes", Head(kTypeProjectDoc, 0xFFFFFFFF) + std::string(64, '\0')},
      {"a name longer than its field", longText},
      {"200 folders nested", nested},
      {"a project inside a file node", Head(kTypeFileNode, 1) + Head(kTypeProjectDoc, 0) + std::string(64, '\0')},
      {"a second ISO track", Head(kTypeProjectDoc, 2) + bytes.substr(9)},
  };
  for (const auto& c : cases) {
    const std::string path = folder + "/case.prj";
    twltest::WriteFile(path, c.bytes);
    testing::internal::CaptureStdout();
    const bool loaded = LoadFrom(path) != nullptr;
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(loaded) << c.behaviour;
  }
}

std::string StoredText(const std::string& text) {
  return std::string{static_cast<char>(text.size() & 0xFF), static_cast<char>(text.size() >> 8)} + text;
}

// An audio track as a stored project names it, whatever its file holds.
std::unique_ptr<Node> StoredAudioTrack(const std::string& path) {
  const std::string record = twltest::SandboxDir() + "/audio.rec";
  twltest::WriteFile(record, Head(kTypeAudioFileTrack, 0) + StoredText(path) + StoredText("shown"));
  return LoadFrom(record);
}

TEST(StoredProjectTest, AudioTracksMustBeCdAudio) {
  ProjectDoc project;
  const struct {
    const char* behaviour;
    std::string path;
    bool accepted;
  } cases[] = {
      {"mono", MakeWave("mono.wav", 1, 44100), false},
      {"48 kHz", MakeWave("fast.wav", 2, 48000), false},
      {"stereo 44.1 kHz 16-bit", MakeWave("cd.wav", 2, 44100), true},
      {"a file not made yet", twltest::SandboxDir() + "/later.wav", true},
  };
  for (const auto& c : cases) {
    std::unique_ptr<Node> node = StoredAudioTrack(c.path);
    ASSERT_TRUE(node) << c.behaviour;
    EXPECT_EQ(project.AddChild(node), c.accepted) << c.behaviour;
  }
  AudioFileTrack chosen;
  chosen.SetSourceFile(twltest::SandboxDir() + "/mono.wav");
  EXPECT_EQ(chosen.GetName(), "<Noname>") << "a mono file is not taken";
  chosen.SetSourceFile(twltest::SandboxDir() + "/cd.wav");
  EXPECT_EQ(chosen.GetName(), "cd.wav");
}

TEST(StoredProjectTest, TheTotalLengthCountsAPregapBeforeEachLaterTrack) {
  ProjectDoc project;
  EXPECT_EQ(project.GetTotalLength(), 0u);
  for (uint32_t blocks : {1000u, 2000u, 3000u}) {
    const std::string path = twltest::SandboxDir() + "/image" + std::to_string(blocks);
    twltest::WriteFile(path, "");
    std::filesystem::resize_file(path, blocks * 2048ull);
    auto image = std::make_unique<ImageFileTrack>();
    image->SetName(path);
    std::unique_ptr<Node> node = Owned(std::move(image));
    ASSERT_TRUE(project.AddChild(node));
  }
  EXPECT_EQ(project.GetTotalLength(), 6300u);
}

TEST(StoredProjectTest, AudioLengthsAndNames) {
  AudioFileTrack audio;
  EXPECT_EQ(audio.GetName(), "<Noname>");
  ImageFileTrack image;
  EXPECT_EQ(image.GetName(), "<Unbenannt>");
  for (const auto& [bytes, blocks] : {std::pair{2352u, 1u}, std::pair{2353u, 2u}}) {
    const std::string path = twltest::SandboxDir() + "/audio" + std::to_string(bytes) + ".wav";
    twltest::WriteFile(path, std::string(bytes, 'a'));
    std::unique_ptr<Node> track = StoredAudioTrack(path);
    ASSERT_TRUE(track);
    EXPECT_EQ(static_cast<AudioFileTrack*>(track.get())->GetLength(), blocks) << bytes;
  }
}

}  // namespace
