// The layer's mixer line (the master volume, 0..65535) read as any program
// reads it, past the mixer code under test: device 0, its volume control.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

namespace playbacktest {

// The line's value now; a failed read fails the test.
inline DWORD MasterLineValue() {
  MIXERCONTROLDETAILS_UNSIGNED value{};
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = 1;
  details.cChannels = 1;
  details.cbDetails = sizeof value;
  details.paDetails = &value;
  EXPECT_EQ(mixerGetControlDetailsA(nullptr, &details, MIXER_OBJECTF_MIXER), MMSYSERR_NOERROR);
  return value.dwValue;
}

}  // namespace playbacktest
