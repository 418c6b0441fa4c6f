#include "PcmFormat.h"

namespace twl::sound {

HRESULT FormatFromWave(const WAVEFORMATEX& wave, PcmFormat& format) {
  if (wave.wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
  if (wave.wBitsPerSample != 8 && wave.wBitsPerSample != 16) return DSERR_BADFORMAT;
  if (wave.nChannels != 1 && wave.nChannels != 2) return DSERR_BADFORMAT;
  if (wave.nSamplesPerSec < DSBFREQUENCY_MIN || wave.nSamplesPerSec > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
  PcmFormat candidate{wave.nSamplesPerSec, wave.wBitsPerSample, wave.nChannels};
  if (wave.nBlockAlign != candidate.BlockAlign()) return DSERR_INVALIDPARAM;
  if (wave.nAvgBytesPerSec != candidate.BytesPerSecond()) return DSERR_INVALIDPARAM;
  format = candidate;
  return DS_OK;
}

WAVEFORMATEX WaveFromFormat(const PcmFormat& format) {
  WAVEFORMATEX wave{};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = format.channels;
  wave.nSamplesPerSec = format.rate;
  wave.nAvgBytesPerSec = format.BytesPerSecond();
  wave.nBlockAlign = static_cast<WORD>(format.BlockAlign());
  wave.wBitsPerSample = format.bits;
  wave.cbSize = 0;
  return wave;
}

}  // namespace twl::sound
