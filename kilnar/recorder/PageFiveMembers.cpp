// The members of the page-05 recorder family and their constructors.
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/PageFiveRecorders.h"

namespace {

using Config = PageFiveMember::Config;
using Shadow = PageFiveMember::Shadow;
using WriteForm = PageFiveMember::WriteForm;

constexpr uint32_t kSpeeds12[] = {1, 2, 0};
constexpr uint32_t kSpeeds124[] = {1, 2, 4, 0};
constexpr uint32_t kSpeedsTo8[] = {1, 2, 4, 6, 8, 0};
constexpr uint32_t kSpeedsTo12[] = {1, 2, 4, 6, 8, 10, 12, 0};
constexpr uint32_t kSpeedsTo16[] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 0};

// className, speeds, config, shadow, write, canBlank, clamped free blocks,
// shared SetSpeed, pregap written at once, first pregap form, class shadow
const PageFiveMember kJvc2082{"Dev_JVC2082", kSpeeds12, Config::Jvc, Shadow::None, WriteForm::Write10,
                              false, false, false, true, 0x00, -1};
const PageFiveMember kGenericBp4{"Dev_Generic_CRD_BP4", kSpeedsTo16, Config::Bp4, Shadow::None, WriteForm::Write10,
                                 true, true, true, true, 0x00, -1};
const PageFiveMember kPlextorW1210{"Dev_Plextor_PX_W1210S", kSpeedsTo12, Config::Px, Shadow::None,
                                   WriteForm::Write10, true, true, true, true, 0x00, -1};
const PageFiveMember kSanyoR800{"Dev_SanyoR800", kSpeedsTo8, Config::Sanyo, Shadow::None, WriteForm::Write10,
                                false, true, false, true, 0x00, -1};
const PageFiveMember kToshibaSdr1002{"Dev_Toshiba_SDR1002", kSpeeds124, Config::Toshiba, Shadow::ClassWide,
                                     WriteForm::RepeatLongWrite, true, false, false, true, 0x00, 0};
const PageFiveMember kHp9200{"Dev_HP9200", kSpeedsTo8, Config::ShadowOnly, Shadow::PerObject,
                             WriteForm::RepeatThenBufferCapacity, true, false, false, false, 0x01, -1};
const PageFiveMember kPanasonic7585{"Dev_Panasonic7585", kSpeedsTo8, Config::Panasonic7585, Shadow::ClassWide,
                                    WriteForm::RepeatLongWrite, true, false, false, true, 0x00, 1};
const PageFiveMember kPanasonic7582{"Dev_Panasonic7582", kSpeeds124, Config::ShadowOnly, Shadow::ClassWide,
                                    WriteForm::BufferCapacity, false, false, false, true, 0x00, 2};

}  // namespace

Dev_JVC2082::Dev_JVC2082(ScsiMan* manager) : PageFiveRecorder(manager, kJvc2082) {}
Dev_Generic_CRD_BP4::Dev_Generic_CRD_BP4(ScsiMan* manager) : PageFiveRecorder(manager, kGenericBp4) {}
Dev_Plextor_PX_W1210S::Dev_Plextor_PX_W1210S(ScsiMan* manager) : PageFiveRecorder(manager, kPlextorW1210) {}
Dev_SanyoR800::Dev_SanyoR800(ScsiMan* manager) : PageFiveRecorder(manager, kSanyoR800) {}
Dev_Toshiba_SDR1002::Dev_Toshiba_SDR1002(ScsiMan* manager) : PageFiveRecorder(manager, kToshibaSdr1002) {
  DebugTrace("Konstruktor: NEW Dev_Toshiba_SDR1002\n");
}
Dev_HP9200::Dev_HP9200(ScsiMan* manager) : PageFiveRecorder(manager, kHp9200) {
  DebugTrace("Konstruktor: NEW Dev_HP9200\n");
}
Dev_Panasonic7585::Dev_Panasonic7585(ScsiMan* manager) : PageFiveRecorder(manager, kPanasonic7585) {
  DebugTrace("Konstruktor: NEW Dev_Panasonic7585\n");
}
Dev_Panasonic7582::Dev_Panasonic7582(ScsiMan* manager) : PageFiveRecorder(manager, kPanasonic7582) {
  DebugTrace("Konstruktor: NEW Dev_Panasonic7582\n");
}
