// An audio track taken from a WAV file of CD audio (two channels, 44100
// Hz, 16 bits), in blocks of 2352 bytes. Its name is the WAV file's path;
// it shows the file's name ("<Noname>" before it has one).
#pragma once

#include "kilnar/app/PrjElement.h"
#include "kilnar/recorder/SplitPath.h"

class AudioFileTrack : public PrjElement {
 public:
  static constexpr uint32_t kBlockSize = 2352;

  AudioFileTrack();

  std::unique_ptr<Node> Clone() const override;
  int32_t GetType() const override { return kTypeAudioFileTrack; }
  // The display name's full text.
  std::string GetName() const override { return m_DisplayName.GetFull(); }
  void SetName(const std::string& name) override { m_DisplayName.Set(name.c_str()); }
  uint32_t GetLength() override;
  uint32_t GetBlockSize() const override { return kBlockSize; }
  int GetTrackKind() const override { return 1; }
  bool IsDataTrack() const override { return false; }
  int GetWriteOption() const override { return 0; }
  int GetDisplayCode() const override { return 510; }
  virtual int GetKindCode() const { return 230; }

  // The track takes the file when it is CD audio (its name then shows the
  // file's name); otherwise it keeps its former file.
  void SetSourceFile(const std::string& path);
  // The file's canonical WAV head says two channels, 44100 Hz, 16 bits and
  // a block alignment of 2 or 4; false for a file that cannot be read.
  bool IsCdAudioWave() const;

 protected:
  bool SaveFields(CwStream& stream) const override;
  bool LoadFields(CwStream& stream) override;

 private:
  SplitPath m_DisplayName;
};
