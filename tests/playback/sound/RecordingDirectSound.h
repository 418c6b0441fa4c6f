// A DirectSound object that passes every call to the layer's and writes
// down what the sound code asked, with what result, so that tests can see
// the exact values (volume and pan in hundredths of a decibel, formats)
// and the order of a restore. A test may make the next call of one method
// fail with a code of its choice.
#pragma once

#include <dsound.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace soundtest {

class CallLog {
 public:
  void Add(const std::string& call, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(result));
    calls_.push_back(result == DS_OK ? call : call + " -> " + code);
  }
  const std::vector<std::string>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }
  size_t Count(const std::string& prefix) const {
    size_t count = 0;
    for (const std::string& call : calls_) count += call.rfind(prefix, 0) == 0;
    return count;
  }
  // The next call of `method` answers `result` without reaching the layer.
  void FailNext(const std::string& method, HRESULT result) { failures_[method] = result; }
  bool TakeFailure(const std::string& method, HRESULT& result) {
    auto found = failures_.find(method);
    if (found == failures_.end()) return false;
    result = found->second;
    failures_.erase(found);
    return true;
  }

 private:
  std::vector<std::string> calls_;
  std::map<std::string, HRESULT> failures_;
};

class RecordingBuffer final : public IDirectSoundBuffer {
 public:
  RecordingBuffer(IDirectSoundBuffer* inner, CallLog& log) : inner_(inner), log_(log) {}

  HRESULT QueryInterface(REFIID iid, void** object) override { return inner_->QueryInterface(iid, object); }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      log_.Add("Release", DS_OK);
      inner_->Release();
      delete this;
    }
    return left;
  }
  HRESULT GetCaps(LPDSBCAPS caps) override { return inner_->GetCaps(caps); }
  HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) override {
    return Record("GetCurrentPosition", "", [&] { return inner_->GetCurrentPosition(play, write); });
  }
  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) override {
    return inner_->GetFormat(format, size, written);
  }
  HRESULT GetVolume(LPLONG volume) override { return inner_->GetVolume(volume); }
  HRESULT GetPan(LPLONG pan) override { return inner_->GetPan(pan); }
  HRESULT GetFrequency(LPDWORD frequency) override { return inner_->GetFrequency(frequency); }
  HRESULT GetStatus(LPDWORD status) override { return inner_->GetStatus(status); }
  HRESULT Initialize(IDirectSound* device, LPCDSBUFFERDESC description) override {
    return inner_->Initialize(device, description);
  }
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
               DWORD flags) override {
    return Record("Lock", " " + std::to_string(offset) + " " + std::to_string(bytes),
                  [&] { return inner_->Lock(offset, bytes, audio1, bytes1, audio2, bytes2, flags); });
  }
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
    return Record("Play", " " + std::to_string(flags), [&] { return inner_->Play(reserved, priority, flags); });
  }
  HRESULT SetCurrentPosition(DWORD position) override {
    return Record("SetCurrentPosition", " " + std::to_string(position),
                  [&] { return inner_->SetCurrentPosition(position); });
  }
  HRESULT SetFormat(LPCWAVEFORMATEX format) override {
    const std::string text = format ? " " + std::to_string(format->nSamplesPerSec) + " " +
                                          std::to_string(format->wBitsPerSample) + " " +
                                          std::to_string(format->nChannels)
                                    : " null";
    return Record("SetFormat", text, [&] { return inner_->SetFormat(format); });
  }
  HRESULT SetVolume(LONG volume) override {
    return Record("SetVolume", " " + std::to_string(volume), [&] { return inner_->SetVolume(volume); });
  }
  HRESULT SetPan(LONG pan) override {
    return Record("SetPan", " " + std::to_string(pan), [&] { return inner_->SetPan(pan); });
  }
  HRESULT SetFrequency(DWORD frequency) override { return inner_->SetFrequency(frequency); }
  HRESULT Stop() override {
    return Record("Stop", "", [&] { return inner_->Stop(); });
  }
  HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override {
    return Record("Unlock", " " + std::to_string(bytes1) + " " + std::to_string(bytes2),
                  [&] { return inner_->Unlock(audio1, bytes1, audio2, bytes2); });
  }
  HRESULT Restore() override {
    return Record("Restore", "", [&] { return inner_->Restore(); });
  }

 private:
  template <class Call>
  HRESULT Record(const std::string& method, const std::string& arguments, Call call) {
    HRESULT result = DS_OK;
    if (!log_.TakeFailure(method, result)) result = call();
    log_.Add(method + arguments, result);
    return result;
  }

  IDirectSoundBuffer* inner_;
  CallLog& log_;
  ULONG references_ = 1;
};

class RecordingDirectSound final : public IDirectSound {
 public:
  RecordingDirectSound(IDirectSound* inner, CallLog& log) : inner_(inner), log_(log) {}

  HRESULT QueryInterface(REFIID iid, void** object) override { return inner_->QueryInterface(iid, object); }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      inner_->Release();
      delete this;
    }
    return left;
  }
  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override {
    std::string text = " size " + std::to_string(description->dwSize) + " flags " + std::to_string(description->dwFlags) +
                       " bytes " + std::to_string(description->dwBufferBytes);
    HRESULT result = DS_OK;
    if (!log_.TakeFailure("CreateSoundBuffer", result)) result = inner_->CreateSoundBuffer(description, buffer, outer);
    log_.Add("CreateSoundBuffer" + text, result);
    if (SUCCEEDED(result)) *buffer = new RecordingBuffer(*buffer, log_);
    return result;
  }
  HRESULT GetCaps(LPDSCAPS caps) override { return inner_->GetCaps(caps); }
  HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override {
    return inner_->DuplicateSoundBuffer(original, duplicate);
  }
  HRESULT SetCooperativeLevel(HWND window, DWORD level) override { return inner_->SetCooperativeLevel(window, level); }
  HRESULT Compact() override { return inner_->Compact(); }
  HRESULT GetSpeakerConfig(LPDWORD config) override { return inner_->GetSpeakerConfig(config); }
  HRESULT SetSpeakerConfig(DWORD config) override { return inner_->SetSpeakerConfig(config); }
  HRESULT Initialize(LPCGUID device) override { return inner_->Initialize(device); }

 private:
  IDirectSound* inner_;
  CallLog& log_;
  ULONG references_ = 1;
};

}  // namespace soundtest
