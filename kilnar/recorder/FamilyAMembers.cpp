// The members of drive family A and their constructors.
#include "kilnar/recorder/FamilyARecorders.h"

namespace {

using M = FamilyAMember;
using T = M::WriteTrackForm;
using F = M::FixationForm;

constexpr uint32_t kTo4[] = {1, 2, 4, 0};
constexpr uint32_t kTo8[] = {1, 2, 4, 6, 8, 0};
constexpr uint32_t kTo12[] = {1, 2, 4, 6, 8, 10, 12, 0};

// class, trace name, speeds, stored configuration, WriteTrack, Fixation,
// blanking, 2352-byte blocks at once, FirstWriteAdress asked twice, drive
// probe, staging area
const M kPhiPrw1208{"Dev_Phi_PRW1208", "Dev_Phi_PRW1208", kTo12, true, T::T1, F::Nec, true, true, false, false, 0};
const M kCyberCw018{"Dev_Cyber_CW018", "Dev_Cyber_CW018", kTo8, true, T::T1, F::Hp8100, true, true, false, false, 1};
const M kWaitecShuttle{"Dev_Waitec_Shuttle", "Dev_Waitec_Shuttle", kTo8, true, T::T1, F::F1, true, true, false, false,
                       2};
const M kIde4x4x32{"Dev_IDE_4x4x32", "Dev_IDE_4x4x32", kTo4, true, T::T1, F::F2, true, true, false, false, 3};
const M kPhiPrw404{"Dev_Phi_PRW404", "Dev_Phi_PRW404", kTo4, true, T::T1, F::F2, true, true, false, false, 4};
const M kPhilips3600{"Dev_Philips3600", "Dev_Philips3600", kTo4, true, T::T1, F::F3, true, false, true, false, 5};
const M kMitsumi4804Usb{"Dev_Mitsumi4804USB", "Dev_Mitsumi4804USB", kTo4, true, T::T1, F::F2, true, true, false, false,
                        6};
const M kMitsumi4801{"Dev_Mitsumi4801", "Dev_Mitsumi4801", kTo4, true, T::Atapi, F::Atapi, false, true, false, false,
                     7};
const M kMitsumi4802{"Dev_Mitsumi4802", "Dev_Mitsumi4801", kTo4, true, T::Atapi, F::Atapi, true, true, false, false,
                     8};
const M kHp3200{"Dev_HP3200", "Dev_HP3200", kTo4, false, T::T2, F::Atapi, true, true, false, true, 9};

}  // namespace

Dev_Phi_PRW1208::Dev_Phi_PRW1208(ScsiMan* manager) : FamilyARecorder(manager, kPhiPrw1208) {}
Dev_Cyber_CW018::Dev_Cyber_CW018(ScsiMan* manager) : FamilyARecorder(manager, kCyberCw018) {}
Dev_Waitec_Shuttle::Dev_Waitec_Shuttle(ScsiMan* manager) : FamilyARecorder(manager, kWaitecShuttle) {}
Dev_IDE_4x4x32::Dev_IDE_4x4x32(ScsiMan* manager) : FamilyARecorder(manager, kIde4x4x32) {}
Dev_Phi_PRW404::Dev_Phi_PRW404(ScsiMan* manager) : FamilyARecorder(manager, kPhiPrw404) {}
Dev_Philips3600::Dev_Philips3600(ScsiMan* manager) : FamilyARecorder(manager, kPhilips3600) {}
Dev_Mitsumi4804USB::Dev_Mitsumi4804USB(ScsiMan* manager) : FamilyARecorder(manager, kMitsumi4804Usb) {}
Dev_Mitsumi4801::Dev_Mitsumi4801(ScsiMan* manager) : FamilyARecorder(manager, kMitsumi4801) {}
Dev_Mitsumi4802::Dev_Mitsumi4802(ScsiMan* manager) : Dev_Mitsumi4801(manager, kMitsumi4802) {}
Dev_HP3200::Dev_HP3200(ScsiMan* manager) : FamilyAOn<Dev_Delta>(manager, kHp3200) {}
