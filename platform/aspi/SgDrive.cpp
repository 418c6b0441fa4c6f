#include "SgDrive.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace twl::aspi {
namespace {

int OpenNode(const char* path, int flags) { return ::open(path, flags); }
int ControlNode(int fd, unsigned long request, void* argument) { return ::ioctl(fd, request, argument); }
int CloseNode(int fd) { return ::close(fd); }

// The text of a failed SG_IO; plain users with write access may send the
// common MMC commands, the rest needs the raw I/O capability.
std::string IoctlErrorText(int error) {
  if (error == EPERM)
    return "SCSI I/O: the command needs the capability CAP_SYS_RAWIO (operation not permitted)\n";
  return std::string("SCSI I/O: ") + std::strerror(error) + "\n";
}

}  // namespace

const SgSystemCalls& RealSgSystemCalls() {
  static const SgSystemCalls calls = {&OpenNode, &ControlNode, &CloseNode};
  return calls;
}

SgDrive::~SgDrive() {
  if (m_Fd >= 0) m_Calls.close(m_Fd);
}

bool SgDrive::Open() {
  if (m_Fd >= 0) return true;
  m_Fd = m_Calls.open(m_Node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (m_Fd >= 0) return true;
  m_Error = m_Node + ": " + std::strerror(errno);
  return false;
}

SgAnswer SgDrive::Execute(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength, DataPhase phase) {
  m_Error.clear();
  uint8_t sense[kSgSenseBytes];
  sg_io_hdr_t request = SgRequestFor(cdb, cdbLength, data, dataLength, phase, sense);
  if (m_Fd < 0 || m_Calls.ioctl(m_Fd, SG_IO, &request) < 0) {
    m_Error = m_Fd < 0 ? "SCSI I/O: the drive is not open\n" : IoctlErrorText(errno);
    SgAnswer failed;
    failed.answer.good = false;
    failed.transportError = true;
    return failed;
  }
  SgAnswer answer = SgAnswerOf(request, sense, data, dataLength, phase);
  if (answer.transportError) m_Error = "SCSI I/O: Error\n";
  return answer;
}

}  // namespace twl::aspi
