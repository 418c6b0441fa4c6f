// One host adapter, target and LUN of the ASPI layer, with the request
// blocks the ASPI manager understands: waited commands share one request
// block for the whole process; a no-wait command has a request of its own
// until it is polled to its end. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "kilnar/recorder/AspiLayer.h"

class AspiTarget {
 public:
  static constexpr uint32_t kWaitMilliseconds = 720000;

  // Binds the layer when it is not bound yet.
  AspiTarget(uint16_t hostAdapter, uint16_t target, uint16_t lun);
  AspiTarget(const AspiTarget&) = delete;
  AspiTarget& operator=(const AspiTarget&) = delete;
  virtual ~AspiTarget();

  bool GetSupportInfo();
  // The adapter's identifier, or null; `maxTargets` gets its target count.
  const char* HostAdapterInquiry(uint16_t& maxTargets);
  // The device type, or -1.
  int16_t GetDeviceType();
  // Group 0, 1, 2: a CDB of 6, 10, 12 bytes. True when the command ended
  // well.
  bool ExecScsiCmd(int group, uint8_t direction, uint32_t dataLength, uint8_t* data, const uint8_t* cdb);
  // Starts a command without waiting. A command still running is first
  // polled to its end (its transfer buffer is the same).
  bool StartScsiCmd(int group, uint8_t direction, uint32_t dataLength, uint8_t* data, const uint8_t* cdb);
  // 1 still running, 0 ended well (or nothing attached), -1 failed.
  int16_t PollRequest();
  DWORD AbortRequest(AspiCommandRequest* request);
  void GetSense(uint8_t sense[ASPI_SENSE_LENGTH]) const;

 private:
  DWORD Send(void* request, BYTE* status);
  void FillRequest(AspiCommandRequest& request, int group, uint8_t flags, uint32_t dataLength, uint8_t* data,
                   const uint8_t* cdb) const;
  void WaitForEnd(AspiCommandRequest& request);
  void SetRequestErrorText(BYTE status, uint32_t dataLength, bool withLength);
  void FinishPendingRequest();

  uint16_t m_Target;
  uint16_t m_Lun;
  uint16_t m_HostAdapter;
  uint8_t m_Sense[ASPI_SENSE_LENGTH] = {};
  std::unique_ptr<AspiCommandRequest> m_Pending;
};
