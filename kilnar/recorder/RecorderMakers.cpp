// The makers of the engine's recorder classes, registered by class name
// the first time the factory looks for one.
#include <memory>

#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/CueSheetRecorders.h"
#include "kilnar/recorder/FamilyARecorders.h"
#include "kilnar/recorder/FamilyBRecorders.h"
#include "kilnar/recorder/MmcDevice.h"
#include "kilnar/recorder/PageFiveRecorders.h"
#include "kilnar/recorder/RecorderClassTable.h"
#include "kilnar/recorder/RicohMP6200A.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

template <typename Recorder>
std::unique_ptr<ScsiDrive> Make(ScsiMan* manager) {
  return std::make_unique<Recorder>(manager);
}

template <typename... Recorders>
void RegisterEach(const char* const (&names)[sizeof...(Recorders)]) {
  const RecorderMaker makers[] = {&Make<Recorders>...};
  for (size_t i = 0; i < sizeof...(Recorders); ++i) RegisterRecorderMaker(names[i], makers[i]);
}

}  // namespace

void RegisterEngineRecorders() {
  static const bool registered = [] {
    RegisterRecorderMaker("ScsiDevice", &Make<ScsiDevice>);
    RegisterRecorderMaker("MmcDevice", &Make<MmcDevice>);
    RegisterRecorderMaker("Dev_ATAPIRecorder", &Make<Dev_ATAPIRecorder>);
    RegisterRecorderMaker("Dev_Sony928", &Make<Dev_Sony928>);
    RegisterEach<Dev_JVC2082, Dev_Generic_CRD_BP4, Dev_Plextor_PX_W1210S, Dev_SanyoR800, Dev_Toshiba_SDR1002,
                 Dev_HP9200, Dev_Panasonic7585, Dev_Panasonic7582>(
        {"Dev_JVC2082", "Dev_Generic_CRD_BP4", "Dev_Plextor_PX_W1210S", "Dev_SanyoR800", "Dev_Toshiba_SDR1002",
         "Dev_HP9200", "Dev_Panasonic7585", "Dev_Panasonic7582"});
    RegisterEach<Dev_NEC_NR7500A, Dev_LG8120B, Dev_TDK_CDRW161040X, Dev_Samsung_SW408B, Dev_LiteOn_Ltr_12101B,
                 Dev_Generic_CRD_BP1400P, Dev_Waitec_WT3284, Dev_YAMAHA_CRW2100E, Dev_Teac_CD_512EB, Dev_LG8042B,
                 Dev_Phi_Pca460, Dev_HP8100, Dev_Yamaha401, Dev_Yamaha4001, Dev_MP7040A, Dev_SonyCRX160E,
                 Dev_SonyCRX145E, Dev_SonyCRX140E, Dev_SonyCRX100>(
        {"Dev_NEC_NR7500A", "Dev_LG8120B", "Dev_TDK_CDRW161040X", "Dev_Samsung_SW408B", "Dev_LiteOn_Ltr_12101B",
         "Dev_Generic_CRD_BP1400P", "Dev_Waitec_WT3284", "Dev_YAMAHA_CRW2100E", "Dev_Teac_CD_512EB", "Dev_LG8042B",
         "Dev_Phi_Pca460", "Dev_HP8100", "Dev_Yamaha401", "Dev_Yamaha4001", "Dev_MP7040A", "Dev_SonyCRX160E",
         "Dev_SonyCRX145E", "Dev_SonyCRX140E", "Dev_SonyCRX100"});
    RegisterEach<Dev_Phi_PRW1208, Dev_Cyber_CW018, Dev_Waitec_Shuttle, Dev_IDE_4x4x32, Dev_Phi_PRW404,
                 Dev_Philips3600, Dev_Mitsumi4804USB, Dev_Mitsumi4801, Dev_Mitsumi4802, Dev_HP3200>(
        {"Dev_Phi_PRW1208", "Dev_Cyber_CW018", "Dev_Waitec_Shuttle", "Dev_IDE_4x4x32", "Dev_Phi_PRW404",
         "Dev_Philips3600", "Dev_Mitsumi4804USB", "Dev_Mitsumi4801", "Dev_Mitsumi4802", "Dev_HP3200"});
    RegisterEach<Dev_Delta, Dev_MMP3Ver8RW, Dev_RicohMP6200A>({"Dev_Delta", "Dev_MMP3Ver8RW", "Dev_RicohMP6200A"});
    return true;
  }();
  (void)registered;
}
