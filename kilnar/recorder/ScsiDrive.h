// A CD drive on the ASPI layer: the single door through which the engine's
// classes send their command blocks (ExecCommand), waited or, after
// SetNoWait, left running to be polled. It owns a 310000-byte transfer
// buffer that every command reads from or writes into, and keeps the
// sense data and text of the last failure. It derives from CwStream so a
// drive can stand where a stream is expected. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "kilnar/recorder/AspiTarget.h"
#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/GlobalBlock.h"

class ScsiMan;

// Directions of ExecCommand.
constexpr int kDataIn = 0;
constexpr int kDataOut = 1;
constexpr int kNoData = 2;

class ScsiDrive : public CwStream {
 public:
  static constexpr uint32_t kTransferBufferSize = 310000;
  static constexpr uint16_t kNotIdentified = 999;
  static constexpr size_t kInquirySize = 44;
  static constexpr size_t kSenseSize = 32;
  static constexpr uint8_t kWriteOnceDevice = 4;
  static constexpr uint8_t kCdDevice = 5;

  explicit ScsiDrive(ScsiMan* manager);
  ~ScsiDrive() override;

  const char* GetErrorText() override;
  void ClearErrorText() { m_ErrorText.clear(); }
  const char* GetName() override;
  void SetNoWait() override { m_NoWait = true; }
  int16_t Poll() override;

  bool Open(uint16_t hostAdapter, uint16_t target);
  int CloseTarget();
  // 0 good, -1 failed (the text and sense are kept). Direction kDataIn,
  // kDataOut or anything else for none. A data length beyond the transfer
  // buffer is refused unsent; UNIT ATTENTION sends the command again.
  int16_t ExecCommand(int cdbLength, const uint8_t* cdb, uint32_t dataLength, int direction);
  bool StartCommand(int cdbLength, const uint8_t* cdb, uint32_t dataLength, int direction);

  virtual bool Rezero();
  // Reads the INQUIRY answer and turns a CD device's model name into its
  // type number; false only when INQUIRY fails.
  virtual bool Identify();
  virtual int16_t TestUnitReady();

  uint16_t GetType() const { return m_Type; }
  // The recorder class the object is, as the factory names it.
  virtual const char* GetClassName() const { return "ScsiDrive"; }
  const uint8_t* GetSenseData() const { return m_Sense; }
  void ClearSense();
  void SetDataLength(uint32_t length) { m_DataLength = length; }
  uint32_t GetDataLength() const { return m_DataLength; }
  uint8_t* GetTransferBuffer() const { return m_TransferBuffer.Data(); }
  const uint8_t* GetInquiryData() const { return m_Inquiry; }
  ScsiMan* GetManager() const { return m_Manager; }
  const std::string& GetModelName() const { return m_ModelName; }
  // The text of an ERROR key of MSG\SCSI.MSG becomes the error text.
  void SetMsgError(const char* key);

  void SetErrorText(const std::string& text);

 protected:
  void SetFailureText(uint8_t opcode);
  int16_t SendOnce(int group, uint8_t flags, uint32_t dataLength, const uint8_t* cdb);
  static int GroupOf(int cdbLength);
  static uint8_t FlagsOf(int direction);
  // Clears the sense and checks the block's length and the data length
  // against the transfer buffer; false (status -1, a text) refuses it.
  bool PrepareCommand(int cdbLength, uint32_t dataLength, int& group);

  ScsiMan* m_Manager;
  uint8_t m_Inquiry[kInquirySize] = {};
  uint16_t m_Type = kNotIdentified;
  std::string m_ErrorText;
  int16_t m_Status = 0;
  uint8_t m_Sense[kSenseSize] = {};
  uint8_t m_CdbCopy[12] = {};
  bool m_NoWait = false;
  uint16_t m_HostAdapter = 0;
  uint16_t m_Target = 0;
  std::unique_ptr<AspiTarget> m_AspiTarget;
  GlobalBlock m_TransferBuffer;
  uint32_t m_DataLength = 0;
  char m_Name[kInquirySize - 8 + 1] = {};
  std::string m_ModelName;
};
