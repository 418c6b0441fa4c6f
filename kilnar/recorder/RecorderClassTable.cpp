#include "kilnar/recorder/RecorderClassTable.h"

#include <cstring>
#include <map>
#include <string>

namespace {

constexpr RecorderClassRow kRecorderClasses[] = {
    {1, "YAMAHACDR100", "Dev_Yamaha100", nullptr},
    {2, "IMS521", "Dev_IMS521", nullptr},
    {3, "PLASMON", "Dev_Plasmon", nullptr},
    {4, "KODAK225", "Dev_IMS521", nullptr},
    {5, "SONYCDU920", "Dev_Sony920", nullptr},
    {9, "IMS2000 and HP4020", "Dev_IMS2000", nullptr},
    {11, "JVC2010", "Dev_JVC2010", nullptr},
    {12, "TEAC", "Dev_TEAC50S", nullptr},
    {13, "PANASONIC", "Dev_Panasonic7501", nullptr},
    {14, "HP6020", "Dev_HP6020", nullptr},
    {15, "SONYCDU926", "Dev_Sony926", nullptr},
    {16, "YAMAHACDR400", "Dev_Yamaha400", nullptr},
    {17, "JVC2020", "Dev_JVC2020", nullptr},
    {18, "RICOH_MP6200", "Dev_RicohMP6200", nullptr},
    {19, "YAMAHACDR200", "Dev_Yamaha200", nullptr},
    {22, "IMS522", "Dev_IMS522", nullptr},
    {23, "DELTA", "Dev_Delta", nullptr},
    {24, "RICOH_RO1420", "Dev_RicohRO1420", nullptr},
    {25, "MMP3_VER8_RW", "Dev_MMP3Ver8RW", nullptr},
    {26, "YAMAHACDR401", "Dev_Yamaha401", "ScsiMan: Dev_Yamaha401\n"},
    {27, "YAMAHACRW4001", "Dev_Yamaha4001", nullptr},
    {28, "RICOH_MP6200A", "Dev_RicohMP6200A", nullptr},
    {29, "YAMAHACRW4260", "Dev_Yamaha4260", "ScsiMan: Dev_Yamaha4260\n"},
    {30, "TEAC55S", "Dev_TEAC55S", nullptr},
    {31, "SONYCDU928", "Dev_Sony928", nullptr},
    {32, "SONYCDU948S", "Dev_Sony948S", nullptr},
    {33, "PANASONIC_7502", "Dev_Panasonic7502", nullptr},
    {34, "JVC_2042", "Dev_JVC2042", nullptr},
    {35, "MMP3_VER8_DAO_RW", "Dev_HP3200", "ScsiMan: NEW Dev_HP3200\n"},
    {36, "HP8100", "Dev_HP8100", "ScsiMan: NEW Dev_HP8100\n"},
    {37, "PHILIPS3600", "Dev_Philips3600", "ScsiMan: NEW Dev_Philips3600\n"},
    {38, "PLEXTOR412", "Dev_Plextor412", "ScsiMan: NEW Dev_Plextor412\n"},
    {39, "TEAC56S", "Dev_TEAC56S", nullptr},
    {40, "YAMAHA4416", "Dev_Yamaha4416", "ScsiMan: NEW Dev_Yamaha4416\n"},
    {41, "MITSUMICR4801TE", "Dev_Mitsumi4801", nullptr},
    {42, "SONYCRX100", "Dev_SonyCRX100", nullptr},
    {43, "SANYOR800", "Dev_SanyoR800", "ScsiMan: NEW Dev_SanyoR800\n"},
    {44, "JVC2082", "Dev_JVC2082", "ScsiMan: NEW Dev_JVC2082\n"},
    {45, "PANASONIC_7582", "Dev_Panasonic7582", "ScsiMan: NEW Dev_Panasonic7582\n"},
    {46, "RICOH_MP7040A", "Dev_MP7040A", nullptr},
    {47, "PHILIPS_PCA460RW", "Dev_Phi_Pca460", "ScsiMan: NEW PHILIPS_PCA460RW\n"},
    {48, "HP9200", "Dev_HP9200", "ScsiMan: NEW Dev_HP9200\n"},
    {49, "SONYCRX140E", "Dev_SonyCRX140E", nullptr},
    {50, "PLEXTOR8220", "Dev_Plextor8220", "ScsiMan: NEW Dev_Plextor8220\n"},
    {51, "MITSUMI4804USB", "Dev_Mitsumi4804USB", nullptr},
    {52, "LG8042B", "Dev_LG8042B", "ScsiMan: NEW Dev_LG8042()B\n"},
    {53, "PHILIPS_PCRW404", "Dev_Phi_PRW404", "ScsiMan: NEW PHILIPS_PCRW404\n"},
    {54, "IDECDRW4X4X32", "Dev_IDE_4x4x32", "ScsiMan: NEW Dev_IDE_4x4x32\n"},
    {55, "MITSUMICR4802TE", "Dev_Mitsumi4802", nullptr},
    {56, "TEAC_CD_512EB", "Dev_Teac_CD_512EB", "ScsiMan: NEW Dev_Teac_CD_512EB\n"},
    {57, "PLEXTOR_PX_W1210S", "Dev_Plextor_PX_W1210S", "ScsiMan: NEW Dev_Plextor_PX_W1210S\n"},
    {58, "YAMAHACRW2100E", "Dev_YAMAHA_CRW2100E", "ScsiMan: NEW Dev_YAMAHA_CRW2100E\n"},
    {59, "PANASONIC_7585", "Dev_Panasonic7585", "ScsiMan: NEW Dev_Panasonic7585\n"},
    {60, "TOSHIBA_SDR1002", "Dev_Toshiba_SDR1002", "ScsiMan: NEW Dev_Toshiba_SDR1002\n"},
    {61, "WAITEC_WT3284", "Dev_Waitec_WT3284", "ScsiMan: NEW Dev_Waitec_WT3284\n"},
    {62, "WAITEC_SHUTTLE", "Dev_Waitec_Shuttle", "ScsiMan: NEW Dev_Waitec_Shuttle\n"},
    {63, "SONYCRX160E", "Dev_SonyCRX160E", nullptr},
    {64, "GENERIC_CRD_BP1400P", "Dev_Generic_CRD_BP1400P", "ScsiMan: NEW Dev_Generic_CRD_BP1400P\n"},
    {65, "LITEON_LTR_12101B", "Dev_LiteOn_Ltr_12101B", "ScsiMan: NEW Dev_LiteOn_Ltr_12101B\n"},
    {66, "SAMSUNG_SW408B", "Dev_Samsung_SW408B", "ScsiMan: NEW Dev_Samsung_SW408B\n"},
    {67, "CYBER_CW018", "Dev_Cyber_CW018", "ScsiMan: NEW Dev_Cyber_CW018\n"},
    {68, "TDK_CDRW161040X", "Dev_TDK_CDRW161040X", "ScsiMan: NEW Dev_TDK_CDRW161040X\n"},
    {69, "SONYCRX145E", "Dev_SonyCRX145E", nullptr},
    {70, "LG8120B", "Dev_LG8120B", "ScsiMan: NEW Dev_LG8120B\n"},
    {71, "GENERIC_CRD_BP4", "Dev_Generic_CRD_BP4", "ScsiMan: NEW Dev_Generic_CRD_BP4\n"},
    {72, "NEC_NR7500A", "Dev_NEC_NR7500A", "ScsiMan: NEW Dev_NEC_NR7500A\n"},
    {73, "PHILIPS_PCRW1208", "Dev_Phi_PRW1208", "ScsiMan: NEW Dev_Phi_PRW1208\n"},
};

constexpr uint16_t kMmcType = 20;
constexpr uint16_t kAtapiRecorderType = 21;
// Adapters with more targets than this are SCSI buses; ATAPI adapters
// have at most four.
constexpr uint16_t kAtapiTargets = 4;

std::map<std::string, RecorderMaker>& Makers() {
  static std::map<std::string, RecorderMaker> makers;
  return makers;
}

}  // namespace

const RecorderClassRow* FindRecorderClassRow(uint16_t type) {
  for (const auto& row : kRecorderClasses)
    if (row.type == type) return &row;
  return nullptr;
}

const RecorderClassRow* RecorderClassRows(size_t& count) {
  count = sizeof kRecorderClasses / sizeof kRecorderClasses[0];
  return kRecorderClasses;
}

const char* RecorderClassFor(uint16_t type, uint16_t adapterTargets, bool adapterAnswered) {
  if (type == kMmcType) return "MmcDevice";
  if (type == kAtapiRecorderType) return "Dev_ATAPIRecorder";
  if (const RecorderClassRow* row = FindRecorderClassRow(type)) return row->className;
  // An adapter that no longer answers its inquiry is taken for the
  // ATAPI adapter it most likely is.
  if (!adapterAnswered || adapterTargets <= kAtapiTargets) return "Dev_ATAPIRecorder";
  return "ScsiDevice";
}

bool RegisterRecorderMaker(const char* className, RecorderMaker maker) {
  Makers()[className] = maker;
  return true;
}

RecorderMaker FindRecorderMaker(const char* className) {
  auto found = Makers().find(className);
  return found == Makers().end() ? nullptr : found->second;
}
