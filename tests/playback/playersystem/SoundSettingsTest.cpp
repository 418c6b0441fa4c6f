// The preferred sound options in the settings key's "\SoundOptions": what
// is read back, what is refused with a warning, the check of the preferred
// device, and what a save leaves in the registry.
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>

#include <string>
#include <vector>

#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/StepTiming.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/players/PlayerServices.h"
#include "pluginhost/players/PlayerSystemConnection.h"
#include "support/RecordingLogFront.h"

namespace {

const GUID kCard = {0x0C0FFEE0, 0x1234, 0x5678, {9, 8, 7, 6, 5, 4, 3, 2}};
const GUID kRemovedCard = {0xDEADBEEF, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};
// kCard as it is stored: the four fields in turn, little-endian.
const std::string kCardBytes("\xE0\xFE\x0F\x0C\x34\x12\x78\x56\x09\x08\x07\x06\x05\x04\x03\x02", 16);
const std::string kRemovedCardBytes("\xEF\xBE\xAD\xDE\x01\x00\x02\x00\x01\x02\x03\x04\x05\x06\x07\x08", 16);

constexpr DWORD kAllCaps = DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARYMONO;

const char* const kDeviceWarning =
    "Error reading preferred sound device from registry. It will be set to its default value.\n";
const char* const kFrequencyWarning =
    "Error reading preferred sound frequency from registry. It will be set to its default value.\n";
const char* const kBitsWarning =
    "Error reading preferred sound sample size from registry. It will be set to its default value.\n";
const char* const kChannelsWarning =
    "Error reading preferred sound channel count from registry. It will be set to its default value.\n";
const char* const kLevelWarning =
    "Error reading preferred DirectSound cooperative level from registry. It will be set to its default value.\n";
const char* const kNoDeviceWarning = "WARNING: Unable to find preferred sound device. Switching to default device.\n";

std::string SubKeyPath() { return std::string(GetSettingsPath().c_str()) + "\\SoundOptions"; }

std::string DWordBytes(DWORD value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

struct StoredValue {
  DWORD type = REG_NONE;  // REG_NONE: missing
  std::string bytes;
};

void Store(const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(GetSettingsRoot(), SubKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void StoreDWord(const char* name, DWORD value) { Store(name, REG_DWORD, DWordBytes(value)); }

// Valid values of all five, the device given as stored bytes.
void StoreAll(const std::string& device, DWORD frequency, DWORD bits, DWORD channels, DWORD level) {
  Store("PreferredDevice", REG_BINARY, device);
  StoreDWord("PreferredFrequency", frequency);
  StoreDWord("PreferredBitsPerSample", bits);
  StoreDWord("PreferredChannels", channels);
  StoreDWord("PreferredCooperativeLevel", level);
}

bool SubKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(GetSettingsRoot(), SubKeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

StoredValue Read(const char* name) {
  StoredValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(GetSettingsRoot(), SubKeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return value;
  char data[64];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
    value.bytes.assign(data, size);
  else
    value.type = REG_NONE;
  RegCloseKey(key);
  return value;
}

class RecordingStepTimer : public CStepTimer {
 public:
  RecordingStepTimer() { SetStepTimer(this); }
  ~RecordingStepTimer() override { SetStepTimer(nullptr); }
  void BeginTiming() override { calls.push_back("begin"); }
  void EndTiming(const char* label) override { calls.push_back(std::string("end ") + label); }
  std::vector<std::string> calls;
};

class SoundSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TwlTestSetSoundSink("null"));
    UseDevices(kAllCaps);
  }
  void TearDown() override { TwlTestSetSoundDevices(nullptr, 0); }

  // The default device (kCard) with these primary-buffer caps.
  static void UseDevices(DWORD caps) {
    const TwlTestSoundDevice device{kCard, "Card", caps};
    TwlTestSetSoundDevices(&device, 1);
  }

  SoundOptions Options() {
    SoundOptions options;
    system.GetSoundOptions(options);
    return options;
  }

  // The warnings logged, each with its line break.
  std::vector<std::string> Warnings() const {
    std::vector<std::string> texts;
    for (const auto& entry : log.Entries()) {
      EXPECT_EQ(entry.category, 0x10000u) << entry.text;
      texts.push_back(entry.text);
    }
    return texts;
  }

  twltest::RecordingLogFront log;
  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  CPlayerSystem system{files, folders};
};

TEST_F(SoundSettingsTest, WithoutTheSubKeyTheDefaultsAreFittedToTheDeviceAndNothingIsWritten) {
  UseDevices(kAllCaps & ~DSCAPS_PRIMARY16BIT);
  system.LoadOptions();
  const SoundOptions options = Options();
  EXPECT_EQ(options.GetDevice(), nullptr);
  EXPECT_EQ(options.frequency, 22050u);
  EXPECT_EQ(options.bitsPerSample, 8u);
  EXPECT_EQ(options.channels, 2u);
  EXPECT_EQ(options.cooperativeLevel, 2u);
  EXPECT_TRUE(Warnings().empty());
  EXPECT_FALSE(SubKeyExists()) << "nothing is stored until the user applies options";
}

TEST_F(SoundSettingsTest, StoredValuesAreTakenOnlyWhenTheyAreOneOfTheAcceptedOnes) {
  const std::string zeroDevice(16, '\0');
  const struct {
    const char* why;
    void (*store)();
    std::vector<std::string> warnings;
    DWORD frequency, bits, channels, level;
  } rows[] = {
      {"all valid, 16 zero bytes for the default device",
       [] { StoreAll(std::string(16, '\0'), 22050, 8, 1, 3); }, {}, 22050, 8, 1, 3},
      {"48000 Hz is no choice of the page",
       [] {
         StoreAll(std::string(16, '\0'), 44100, 16, 2, 2);
         StoreDWord("PreferredFrequency", 48000);
       },
       {kFrequencyWarning}, 44100, 16, 2, 2},
      {"a device of 8 bytes is refused",
       [] {
         StoreAll(std::string(16, '\0'), 11025, 16, 2, 1);
         Store("PreferredDevice", REG_BINARY, std::string(8, '\x11'));
       },
       {kDeviceWarning}, 11025, 16, 2, 1},
      {"a frequency stored as binary is the wrong type",
       [] {
         StoreAll(std::string(16, '\0'), 22050, 8, 1, 3);
         Store("PreferredFrequency", REG_BINARY, DWordBytes(22050));
       },
       {kFrequencyWarning}, 44100, 8, 1, 3},
      {"a DWORD of 8 bytes is the wrong size",
       [] {
         StoreAll(std::string(16, '\0'), 22050, 8, 1, 3);
         Store("PreferredBitsPerSample", REG_DWORD, DWordBytes(8) + DWordBytes(0));
       },
       {kBitsWarning}, 22050, 16, 1, 3},
      {"24 bits, 3 channels and level 0 are none of the choices",
       [] {
         StoreAll(std::string(16, '\0'), 11025, 24, 3, 0);
       },
       {kBitsWarning, kChannelsWarning, kLevelWarning}, 11025, 16, 2, 2},
      {"an empty sub-key warns about every value, in table order",
       [] { Store("Other", REG_DWORD, DWordBytes(1)); },
       {kDeviceWarning, kFrequencyWarning, kBitsWarning, kChannelsWarning, kLevelWarning}, 44100, 16, 2, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    RegDeleteKeyA(GetSettingsRoot(), SubKeyPath().c_str());
    row.store();
    log.Clear();
    system.LoadOptions();
    const SoundOptions options = Options();
    EXPECT_EQ(options.GetDevice(), nullptr);
    EXPECT_EQ(options.frequency, row.frequency);
    EXPECT_EQ(options.bitsPerSample, row.bits);
    EXPECT_EQ(options.channels, row.channels);
    EXPECT_EQ(options.cooperativeLevel, row.level);
    EXPECT_EQ(Warnings(), row.warnings);
  }
  // The refused value stays as it was stored until the options are saved.
  RegDeleteKeyA(GetSettingsRoot(), SubKeyPath().c_str());
  StoreAll(zeroDevice, 44100, 16, 2, 2);
  StoreDWord("PreferredFrequency", 48000);
  system.LoadOptions();
  EXPECT_EQ(Read("PreferredFrequency").bytes, DWordBytes(48000));
}

TEST_F(SoundSettingsTest, APreferredDeviceThatIsGoneGivesWayToTheDefaultDevice) {
  RecordingStepTimer timer;
  StoreAll(kRemovedCardBytes, 22050, 16, 2, 2);
  system.LoadOptions();
  EXPECT_EQ(Options().GetDevice(), nullptr);
  EXPECT_EQ(Options().frequency, 22050u) << "the other values stay";
  EXPECT_EQ(Warnings(), std::vector<std::string>{kNoDeviceWarning});
  EXPECT_EQ(Read("PreferredDevice").bytes, kRemovedCardBytes) << "the stored GUID waits for the next save";
  EXPECT_EQ(timer.calls, (std::vector<std::string>{"begin", "end validate preferred sound device"}));

  log.Clear();
  StoreAll(kCardBytes, 22050, 16, 2, 2);
  system.LoadOptions();
  ASSERT_NE(Options().GetDevice(), nullptr) << "a device DirectSound has is kept";
  EXPECT_TRUE(IsEqualGUID(*Options().GetDevice(), kCard));
  EXPECT_TRUE(Warnings().empty());
}

TEST_F(SoundSettingsTest, SavedOptionsAreSixteenBinaryBytesAndFourDWords) {
  SoundOptions options;
  options.SetDevice(&kCard);
  options.frequency = 11025;
  options.bitsPerSample = 8;
  options.channels = 1;
  options.cooperativeLevel = 3;
  system.SetSoundOptions(options);

  const StoredValue device = Read("PreferredDevice");
  EXPECT_EQ(device.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(device.bytes, kCardBytes);
  const struct {
    const char* name;
    DWORD value;
  } numbers[] = {{"PreferredFrequency", 11025},
                 {"PreferredBitsPerSample", 8},
                 {"PreferredChannels", 1},
                 {"PreferredCooperativeLevel", 3}};
  for (const auto& number : numbers) {
    SCOPED_TRACE(number.name);
    const StoredValue stored = Read(number.name);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(stored.bytes, DWordBytes(number.value));
  }

  CPlayerSystem next{files, folders};
  next.LoadOptions();
  SoundOptions loaded;
  next.GetSoundOptions(loaded);
  ASSERT_NE(loaded.GetDevice(), nullptr);
  EXPECT_TRUE(IsEqualGUID(*loaded.GetDevice(), kCard));
  EXPECT_EQ(loaded.frequency, 11025u);
  EXPECT_EQ(loaded.bitsPerSample, 8u);
  EXPECT_EQ(loaded.channels, 1u);
  EXPECT_EQ(loaded.cooperativeLevel, 3u);
  EXPECT_TRUE(Warnings().empty());

  options.SetDevice(nullptr);
  system.SetSoundOptions(options);
  EXPECT_EQ(Read("PreferredDevice").bytes, std::string(16, '\0')) << "the default device";
}

// What plug-ins and sound buffers get from the host is the player
// system's copy, not the defaults.
TEST_F(SoundSettingsTest, TheHostHandsOutThePlayerSystemsOptions) {
  SoundOptions options;
  options.SetDevice(&kCard);
  options.frequency = 11025;
  options.cooperativeLevel = 1;
  system.SetSoundOptions(options);
  ConnectPlayerSystemToHost(system);
  SoundOptions handedOut;
  GetPlayerServices().GetSoundOptions(handedOut);
  DisconnectPlayerSystemFromHost(system);
  ASSERT_NE(handedOut.GetDevice(), nullptr);
  EXPECT_TRUE(IsEqualGUID(*handedOut.GetDevice(), kCard));
  EXPECT_EQ(handedOut.frequency, 11025u);
  EXPECT_EQ(handedOut.cooperativeLevel, 1u);
}

TEST_F(SoundSettingsTest, ASubKeyThatCannotBeMadeIsLoggedAsAnError) {
  SetSettingsKey(reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7FFFFFF0)), "Software\\Nowhere");
  system.SetSoundOptions(SoundOptions{});
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].category, 0x100u);
  EXPECT_EQ(entries[0].text, "Error creating sound options registry key. Unable to store sound options.\n");
}

}  // namespace
