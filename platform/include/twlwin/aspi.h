// The ASPI manager the layer stands in for: LoadLibraryA of "WNASPI32.DLL"
// (or of the maker's fallback "VLB_SPTI.DLL") answers a library with the
// two entry points below. Behind them sit the recorders the switch
// TWL_RECORDER chooses: an emulated MMC CD recorder whose disc is a file
// (`emulated:PATH`), the machine's drives (`sg`, the default) or no ASPI
// library at all (`none`); the README lists the further switches.
//
// Request blocks keep the ASPI fields; pointer fields are pointer-sized.
// Waited commands (flag ASPI_EVENT_NOTIFY) signal their event when they
// end after SendASPI32Command returned; a command that ends at once
// answers ASPI_DONE without signalling. Thread-safe.
#pragma once

#include "types.h"

// Commands.
#define ASPI_HOST_ADAPTER_INQUIRY 0x00
#define ASPI_GET_DEVICE_TYPE 0x01
#define ASPI_EXEC_SCSI_COMMAND 0x02
#define ASPI_ABORT_REQUEST 0x03

// Request statuses.
#define ASPI_PENDING 0x00
#define ASPI_DONE 0x01
#define ASPI_ABORTED 0x02
#define ASPI_ERROR 0x04
#define ASPI_INVALID_HOST_ADAPTER 0x81
#define ASPI_INVALID_REQUEST 0xE0
#define ASPI_OLD_MANAGER 0xE1
#define ASPI_ILLEGAL_MODE 0xE2
#define ASPI_NO_MANAGER 0xE3
#define ASPI_BUSY 0xE5
#define ASPI_BUFFER_TOO_BIG 0xE6

// Flags of a command request.
#define ASPI_DATA_IN 0x08
#define ASPI_DATA_OUT 0x10
#define ASPI_EVENT_NOTIFY 0x40

#define ASPI_SENSE_LENGTH 32
#define ASPI_TARGET_CHECK_CONDITION 0x02

typedef struct AspiHostAdapterInquiry {
  BYTE command;  // ASPI_HOST_ADAPTER_INQUIRY
  BYTE status;
  BYTE hostAdapter;
  BYTE flags;
  DWORD reserved;
  BYTE adapterCount;
  BYTE adapterScsiId;
  CHAR managerId[16];
  CHAR adapterIdentifier[16];
  BYTE adapterParameters[16];  // byte 3: the largest number of targets
  BYTE reservedTail[2];
} AspiHostAdapterInquiry;

typedef struct AspiDeviceTypeRequest {
  BYTE command;  // ASPI_GET_DEVICE_TYPE
  BYTE status;   // ASPI_DONE when a device answers
  BYTE hostAdapter;
  BYTE flags;
  DWORD reserved;
  BYTE target;
  BYTE lun;
  BYTE deviceType;
  BYTE reservedTail;
} AspiDeviceTypeRequest;

typedef struct AspiCommandRequest {
  BYTE command;  // ASPI_EXEC_SCSI_COMMAND
  BYTE status;   // written by the manager, read by the caller (any thread)
  BYTE hostAdapter;
  BYTE flags;
  DWORD reserved;
  BYTE target;
  BYTE lun;
  WORD reserved2;
  DWORD dataLength;
  BYTE* data;
  BYTE senseLength;  // at most ASPI_SENSE_LENGTH bytes are written
  BYTE cdbLength;    // 6, 10 or 12
  BYTE adapterStatus;
  BYTE targetStatus;
  HANDLE event;  // signalled at the end of a waited command
  BYTE reserved3[20];
  BYTE cdb[16];
  BYTE sense[ASPI_SENSE_LENGTH];
} AspiCommandRequest;

typedef struct AspiAbortRequest {
  BYTE command;  // ASPI_ABORT_REQUEST
  BYTE status;
  BYTE hostAdapter;
  BYTE flags;
  DWORD reserved;
  AspiCommandRequest* request;
} AspiAbortRequest;

// The entry points, as GetProcAddress gives them: "GetASPI32SupportInfo"
// (bits 8-15 status, 0-7 the number of host adapters) and
// "SendASPI32Command" (the request's status, or ASPI_BUSY when it was not
// taken).
typedef DWORD (*AspiSupportInfoEntry)(void);
typedef DWORD (*AspiSendCommandEntry)(void* request);
