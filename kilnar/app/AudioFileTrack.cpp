#include "kilnar/app/AudioFileTrack.h"

#include <cstdint>

#include "kilnar/app/StoredFields.h"
#include "kilnar/app/playlists/BinaryFile.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

constexpr size_t kWaveHeadSize = 44;

}  // namespace

AudioFileTrack::AudioFileTrack() : m_DisplayName("<Noname>") {}

std::unique_ptr<Node> AudioFileTrack::Clone() const {
  auto copy = std::make_unique<AudioFileTrack>();
  copy->CopyElement(*this);
  copy->m_DisplayName = m_DisplayName;
  return copy;
}

uint32_t AudioFileTrack::GetLength() {
  const uint64_t size = GetFileSize();
  return static_cast<uint32_t>((size + kBlockSize - 1) / kBlockSize);
}

void AudioFileTrack::SetSourceFile(const std::string& path) {
  const std::string previous = m_Name;
  m_Name = path;
  if (IsCdAudioWave())
    SetName(SplitPath(path.c_str()).GetName() + std::string(SplitPath(path.c_str()).GetExtension()));
  else
    m_Name = previous;
}

bool AudioFileTrack::IsCdAudioWave() const {
  BinaryFile file;
  uint8_t head[kWaveHeadSize];
  if (m_Name.empty() || !file.OpenForReading(m_Name) || !file.Read(head, sizeof head)) return false;
  const uint16_t channels = GetLittleEndian16(head + 22);
  const uint32_t rate = GetLittleEndian32(head + 24);
  const uint16_t blockAlign = GetLittleEndian16(head + 32);
  const uint16_t bits = GetLittleEndian16(head + 34);
  return channels == 2 && (blockAlign == 2 || blockAlign == 4) && rate == 44100 && bits == 16;
}

bool AudioFileTrack::SaveFields(CwStream& stream) const {
  return PrjElement::SaveFields(stream) && WriteString(stream, m_DisplayName.GetFull());
}

bool AudioFileTrack::LoadFields(CwStream& stream) {
  std::string display;
  if (!PrjElement::LoadFields(stream) || !ReadString(stream, display, SplitPath::kFullSize)) return false;
  m_DisplayName.Set(display.c_str());
  return true;
}
