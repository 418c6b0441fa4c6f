// The model table and the class table as data: every entry identifies its
// own model text, the driver names keep their order and numbers, and every
// type from 1 to 73 selects its class.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "kilnar/recorder/ModelTable.h"
#include "kilnar/recorder/RecorderClassTable.h"

namespace {

// A model name the entry is written for: its text, behind eight blanks
// when it is compared with the product part.
std::string ModelNameFor(const ModelEntry& entry) {
  const std::string text = entry.field == ModelField::Product ? "        " + std::string(entry.text) : entry.text;
  return text;
}

TEST(ModelTableTest, EveryEntryMatchesTheModelItNames) {
  const auto table = ModelTable();
  ASSERT_EQ(table.size(), 750u);
  for (const ModelEntry& entry : table) {
    EXPECT_TRUE(ModelEntryMatches(entry, ModelNameFor(entry))) << entry.text;
    EXPECT_GE(entry.type, 1) << entry.text;
    EXPECT_LE(entry.type, 73) << entry.text;
  }
}

TEST(ModelTableTest, MatchingRules) {
  struct Row {
    const char* why;
    const char* model;
    uint16_t type;
  };
  const Row rows[] = {
      {"a later entry wins", "YAMAHA  CRW4001", 29},
      {"letters without case", "yamaha  crw4416s", 40},
      {"the vendor alone", "SONY    CD-RW  CRX145E", 69},
      {"whole name ends there", "       OME-W141", 46},
      {"whole name, one character more", "       OME-W141X", 999},
      {"blanks count", "YAMAHA CRW4416S", 999},
      {"empty", "", 999},
      {"only JVC R2626 reaches 17", "JVC     R2626", 17},
  };
  for (const auto& row : rows) EXPECT_EQ(TypeFromModelTable(row.model), row.type) << row.why;
}

TEST(ModelTableTest, DriverNamesInTheirOrder) {
  const auto names = DriverNames();
  ASSERT_EQ(names.size(), 73u);
  EXPECT_STREQ(names.front().name, "YAMAHACDR100");
  EXPECT_STREQ(names[9].name, "HP4020");
  EXPECT_EQ(names[9].type, 9);
  EXPECT_STREQ(names.back().name, "PHILIPS_PCRW1208");
  struct Row {
    const char* value;
    uint16_t type;
  };
  const Row rows[] = {{"TEAC", 56}, {"rICOH_mp7040a", 46}, {"", 73}, {"RICOH", 46}, {"MITSUMI", 55},
                      {"PANASONIC", 59}, {"RICOH_MP6200", 28}, {"NOSUCH", 999}, {"TEAC55S ", 999}};
  for (const auto& row : rows) EXPECT_EQ(TypeFromDriverName(row.value), row.type) << row.value;
}

TEST(RecorderClassTableTest, EveryTypeSelectsItsClass) {
  std::set<std::string> classes;
  for (uint16_t type = 1; type <= 73; ++type) {
    const char* atapiAdapter = RecorderClassFor(type, 2, true);
    const char* scsiAdapter = RecorderClassFor(type, 8, true);
    ASSERT_NE(atapiAdapter, nullptr) << type;
    const bool factoryDefault = type == 6 || type == 7 || type == 8 || type == 10;
    if (factoryDefault) {
      EXPECT_STREQ(atapiAdapter, "Dev_ATAPIRecorder") << type;
      EXPECT_STREQ(scsiAdapter, "ScsiDevice") << type;
      EXPECT_EQ(FindRecorderClassRow(type), nullptr);
      continue;
    }
    EXPECT_STREQ(atapiAdapter, scsiAdapter) << type;
    classes.insert(atapiAdapter);
  }
  EXPECT_STREQ(RecorderClassFor(2, 2, true), RecorderClassFor(4, 2, true));
  EXPECT_STREQ(RecorderClassFor(2, 2, true), "Dev_IMS521");
  EXPECT_STREQ(FindRecorderClassRow(9)->driverNames, "IMS2000 and HP4020");
  EXPECT_STREQ(RecorderClassFor(20, 8, true), "MmcDevice");
  EXPECT_STREQ(RecorderClassFor(21, 8, true), "Dev_ATAPIRecorder");
  EXPECT_STREQ(RecorderClassFor(999, 0, false), "Dev_ATAPIRecorder");
  EXPECT_EQ(classes.size(), 68u);  // 69 types with a class, two of them sharing one
  EXPECT_STREQ(FindRecorderClassRow(52)->trace, "ScsiMan: NEW Dev_LG8042()B\n");
  EXPECT_STREQ(FindRecorderClassRow(47)->trace, "ScsiMan: NEW PHILIPS_PCA460RW\n");
  EXPECT_STREQ(FindRecorderClassRow(26)->trace, "ScsiMan: Dev_Yamaha401\n");
}

}  // namespace
