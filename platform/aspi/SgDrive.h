// One real drive reached through the Linux SCSI generic interface: its
// node opened read-write and non-blocking (so a drive without a disc
// opens), one SG_IO per command, closed with the object. The system calls
// go through a seam that tests replace with a fake drive. One thread
// sends commands at a time.
#pragma once

#include <cstdint>
#include <string>

#include "SgRequest.h"

namespace twl::aspi {

struct SgSystemCalls {
  int (*open)(const char* path, int flags);
  int (*ioctl)(int fd, unsigned long request, void* argument);
  int (*close)(int fd);
};

// The system's own calls.
const SgSystemCalls& RealSgSystemCalls();

class SgDrive {
 public:
  SgDrive(std::string node, const SgSystemCalls& calls) : m_Node(std::move(node)), m_Calls(calls) {}
  SgDrive(const SgDrive&) = delete;
  SgDrive& operator=(const SgDrive&) = delete;
  ~SgDrive();

  // False, with the reason in GetError, when the node does not open.
  bool Open();
  // The drive's answer; a failed ioctl or a transport error leaves its
  // text in GetError ("SCSI I/O: Error\n" for a host or driver error).
  SgAnswer Execute(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength, DataPhase phase);
  const std::string& GetError() const { return m_Error; }
  const std::string& GetNode() const { return m_Node; }

 private:
  std::string m_Node;
  const SgSystemCalls& m_Calls;
  int m_Fd = -1;
  std::string m_Error;
};

}  // namespace twl::aspi
