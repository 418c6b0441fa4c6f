// The members of drive family B and their constructors.
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/FamilyBRecorders.h"

namespace {

using M = FamilyBMember;
using S = M::SetConfigForm;
using T = M::WriteTrackForm;
using W = M::WriteForm;
using F = M::FixationForm;
using P = M::PrepareForm;
using E = M::EndForm;
using B = M::Blanking;

constexpr uint32_t kTo4[] = {1, 2, 4, 0};
constexpr uint32_t kTo8[] = {1, 2, 4, 6, 8, 0};
constexpr uint32_t kTo10[] = {1, 2, 4, 6, 8, 10, 0};
constexpr uint32_t kTo12[] = {1, 2, 4, 6, 8, 10, 12, 0};
constexpr uint32_t kTo16[] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 0};

// class, speeds, SetConfig, WriteTrack, Write_1, traced, Fixation,
// PrepareDAO, EndDAO, CanLoad by letter, blanking
const M kNecNr7500A{"Dev_NEC_NR7500A", kTo8, S::S1, T::T1, W::W1, true, F::F1, P::P1, E::E1, false, B::Shared};
const M kLg8120B{"Dev_LG8120B", kTo12, S::S1, T::T1, W::W2, false, F::F2, P::P2, E::E2, false, B::Shared};
const M kTdk161040X{"Dev_TDK_CDRW161040X", kTo16, S::S1, T::T1, W::W1, true, F::F1, P::P1, E::E1, false, B::Shared};
const M kSamsungSw408B{"Dev_Samsung_SW408B", kTo8, S::S1, T::T1, W::W1, true, F::F5, P::P1, E::E1, false, B::Shared};
const M kLiteOn12101B{"Dev_LiteOn_Ltr_12101B", kTo12, S::S2, T::T1, W::W1, true, F::F1, P::P1, E::E1, false,
                      B::Shared};
const M kGenericBp1400P{"Dev_Generic_CRD_BP1400P", kTo16, S::S1, T::T1, W::W1, true, F::F1, P::P1, E::E1, false,
                        B::Shared};
const M kWaitecWt3284{"Dev_Waitec_WT3284", kTo8, S::S1, T::T1, W::W2, false, F::F2, P::P2, E::E3, false, B::Shared};
const M kYamahaCrw2100E{"Dev_YAMAHA_CRW2100E", kTo16, S::S1, T::T1, W::W3, true, F::F1, P::P1, E::E1, false,
                        B::Shared};
const M kTeacCd512EB{"Dev_Teac_CD_512EB", kTo12, S::S1, T::T1, W::W1, true, F::F1, P::P1, E::E1, false, B::Shared};
const M kLg8042B{"Dev_LG8042B", kTo4, S::S1, T::T1, W::W2, false, F::F2, P::P2, E::E2, false, B::Shared};
const M kPhiPca460{"Dev_Phi_Pca460", kTo4, S::S4, T::T2, W::W2, true, F::F5, P::P3, E::E1, true, B::Shared};
const M kHp8100{"Dev_HP8100", kTo4, S::S1, T::T1, W::W1, true, F::F2, P::P4, E::E1, true, B::Shared};
const M kYamaha401{"Dev_Yamaha401", kTo4, S::S5, T::T3, W::W2, true, F::F3, P::P5, E::E4, true, B::NotSupported};
const M kYamaha4001{"Dev_Yamaha4001", kTo4, S::S5, T::T3, W::W2, true, F::F3, P::P5, E::E4, true, B::SessionRefused};
const M kMp7040A{"Dev_MP7040A", kTo4, S::S1, T::T1, W::W1, true, F::F5, P::P1, E::E1, false, B::Shared};
const M kSonyCrx160E{"Dev_SonyCRX160E", kTo12, S::S1, T::T1, W::W2, true, F::F4, P::P4, E::E1, false, B::Shared};
const M kSonyCrx145E{"Dev_SonyCRX145E", kTo10, S::S1, T::T1, W::W2, true, F::F4, P::P4, E::E1, false, B::Shared};
const M kSonyCrx140E{"Dev_SonyCRX140E", kTo8, S::S3, T::T1, W::W2, true, F::F4, P::P4, E::E1, false, B::Shared};
const M kSonyCrx100{"Dev_SonyCRX100", kTo4, S::S1, T::T1, W::W1, true, F::F4, P::P4, E::E1, false, B::Shared};

}  // namespace

Dev_NEC_NR7500A::Dev_NEC_NR7500A(ScsiMan* manager) : FamilyBRecorder(manager, kNecNr7500A) {}
Dev_LG8120B::Dev_LG8120B(ScsiMan* manager) : FamilyBRecorder(manager, kLg8120B) {}
Dev_TDK_CDRW161040X::Dev_TDK_CDRW161040X(ScsiMan* manager) : FamilyBRecorder(manager, kTdk161040X) {}
Dev_Samsung_SW408B::Dev_Samsung_SW408B(ScsiMan* manager) : FamilyBRecorder(manager, kSamsungSw408B) {}
Dev_LiteOn_Ltr_12101B::Dev_LiteOn_Ltr_12101B(ScsiMan* manager) : FamilyBRecorder(manager, kLiteOn12101B) {}
Dev_Generic_CRD_BP1400P::Dev_Generic_CRD_BP1400P(ScsiMan* manager) : FamilyBRecorder(manager, kGenericBp1400P) {}
Dev_Waitec_WT3284::Dev_Waitec_WT3284(ScsiMan* manager) : FamilyBRecorder(manager, kWaitecWt3284) {}
Dev_YAMAHA_CRW2100E::Dev_YAMAHA_CRW2100E(ScsiMan* manager) : FamilyBRecorder(manager, kYamahaCrw2100E) {}
Dev_Teac_CD_512EB::Dev_Teac_CD_512EB(ScsiMan* manager) : FamilyBRecorder(manager, kTeacCd512EB) {}
Dev_LG8042B::Dev_LG8042B(ScsiMan* manager) : FamilyBRecorder(manager, kLg8042B) {}
Dev_Phi_Pca460::Dev_Phi_Pca460(ScsiMan* manager) : FamilyBRecorder(manager, kPhiPca460) {
  DebugTrace("New Dev_Phi_Pca460\n");
}
Dev_HP8100::Dev_HP8100(ScsiMan* manager) : FamilyBRecorder(manager, kHp8100) {}
Dev_Yamaha401::Dev_Yamaha401(ScsiMan* manager) : FamilyBRecorder(manager, kYamaha401) {}
Dev_Yamaha4001::Dev_Yamaha4001(ScsiMan* manager) : Dev_Yamaha401(manager, kYamaha4001) {}
Dev_MP7040A::Dev_MP7040A(ScsiMan* manager) : FamilyBRecorder(manager, kMp7040A) {}
Dev_SonyCRX160E::Dev_SonyCRX160E(ScsiMan* manager) : FamilyBRecorder(manager, kSonyCrx160E) {}
Dev_SonyCRX145E::Dev_SonyCRX145E(ScsiMan* manager) : FamilyBRecorder(manager, kSonyCrx145E) {}
Dev_SonyCRX140E::Dev_SonyCRX140E(ScsiMan* manager) : FamilyBRecorder(manager, kSonyCrx140E) {}
Dev_SonyCRX100::Dev_SonyCRX100(ScsiMan* manager) : FamilyBRecorder(manager, kSonyCrx100) {}
